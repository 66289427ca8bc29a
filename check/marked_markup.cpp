#include "check/marked_markup.h"

#include "check/markup_chars.h"

namespace {

// What stands after the '<': markup the reader takes for an element although
// an ordinary XML reader would not.
enum class MarkupKind { kPlain, kComment, kDeclaration, kOtherBang };

// The scanner walks the bytes with the scene reader's rules and builds the
// same tree; what it reports is where those rules part from ordinary XML.
class MarkedScanner {
public:
    MarkedScanner(std::string_view text, const std::string& file, Diagnostics& found)
        : text_(text), file_(file), found_(found)
    {
    }

    MarkedDocument Scan()
    {
        for (index_ = 0; index_ < text_.size(); ++index_) {
            const char c = text_[index_];
            switch (mode_) {
            case Mode::kOutside:
                Outside(c);
                break;
            case Mode::kInstruction:
                if (c == '>') {
                    mode_ = Mode::kOutside;
                }
                break;
            case Mode::kMarkup:
                Markup(c);
                break;
            }
            Step(c);
        }
        ReportUnclosed();
        return std::move(document_);
    }

private:
    enum class Mode { kOutside, kMarkup, kInstruction };
    enum class Part { kElementName, kAttributeName, kAttributeValue };

    void Step(char c)
    {
        if (c == '\n') {
            ++here_.line;
            here_.column = 1;
        } else {
            ++here_.column;
        }
    }

    void Error(TextPosition where, std::string message) { found_.Error(file_, where, std::move(message)); }
    void Warning(TextPosition where, std::string message) { found_.Warning(file_, where, std::move(message)); }

    bool RootClosed() const { return document_.root && open_.empty(); }

    void Outside(char c)
    {
        if (c == '<') {
            BeginMarkup();
            inText_ = false;
            return;
        }
        if (c == ' ' || IsLineSpace(c) || inText_) {
            return;  // one finding for the text between two markups
        }
        inText_ = true;
        if (RootClosed()) {
            if (!textAfterRootReported_) {
                Error(here_, "text after the root element is ignored");
                textAfterRootReported_ = true;
            }
        } else {
            Warning(here_, std::string("text ") + (document_.root ? "between elements" : "before the root element") +
                               " is ignored");
        }
    }

    void BeginMarkup()
    {
        mode_ = Mode::kMarkup;
        part_ = Part::kElementName;
        markupStart_ = here_;
        element_.clear();
        attributes_.clear();
        pairOpen_ = slashSeen_ = endTag_ = nameEnded_ = slashAfterName_ = false;
        joinPending_ = false;
        const std::string_view rest = text_.substr(index_ + 1);
        kind_ = rest.starts_with("!--")        ? MarkupKind::kComment
                : rest.starts_with("!DOCTYPE") ? MarkupKind::kDeclaration
                : rest.starts_with("!")        ? MarkupKind::kOtherBang
                                               : MarkupKind::kPlain;
    }

    void Markup(char c)
    {
        if (c == '/') {
            slashSeen_ = true;
            endTag_ = !nameEnded_;
            if (part_ == Part::kElementName && !element_.empty()) {
                slashAfterName_ = true;
            }
            if (part_ == Part::kAttributeValue && quote_) {
                ReportValueChar(c, "the reader drops it, and a slash makes the element empty");
            }
            return;
        }
        if (c == '>') {
            EndMarkup();
            return;
        }
        switch (part_) {
        case Part::kElementName:
            ElementNameByte(c);
            break;
        case Part::kAttributeName:
            AttributeNameByte(c);
            break;
        case Part::kAttributeValue:
            AttributeValueByte(c);
            break;
        }
    }

    void ElementNameByte(char c)
    {
        if (c == '?') {
            mode_ = Mode::kInstruction;
        } else if (IsNameChar(c)) {
            if (joinPending_) {
                Error(here_, "a tab or line end is not a separator: '" + std::string(1, c) +
                                 "' runs into the element name '" + element_ + "' (write a space)");
                joinPending_ = false;
            }
            element_ += c;
        } else if (c == ' ') {
            joinPending_ = false;
            if (!element_.empty()) {
                nameEnded_ = true;
                part_ = Part::kAttributeName;
            }
        } else if (IsLineSpace(c) && !element_.empty()) {
            joinPending_ = true;
        }
    }

    void OpenPair()
    {
        if (!pairOpen_) {
            attributes_.push_back({{}, {}, here_});
            pairOpen_ = true;
            valueReported_ = false;
        }
    }

    void AttributeNameByte(char c)
    {
        if (IsNameChar(c)) {
            OpenPair();
            attributes_.back().name += c;
        } else if (c == '=') {
            OpenPair();
            part_ = Part::kAttributeValue;
            quote_ = 0;
            valueReported_ = joinPending_ = false;
        }
    }

    std::string& Value() { return attributes_.back().value; }

    void AttributeValueByte(char c)
    {
        if (IsNameChar(c)) {
            if (joinPending_) {
                Error(here_, std::string(joinByLineSpace_ ? "a tab or line end is not a separator"
                                                          : "attributes need a space between them") +
                                 ": '" + std::string(1, c) + "' runs into the value of '" + attributes_.back().name +
                                 "' (write a space)");
                joinPending_ = false;
                valueReported_ = true;  // what follows belongs to the next attribute
            }
            Value() += c;
        } else if (c == ' ') {
            if (Value().empty()) {
                return;
            }
            if (quote_) {
                ReportValueChar(c, "the reader ends the value there");
            }
            pairOpen_ = joinPending_ = false;
            quote_ = 0;
            part_ = Part::kAttributeName;
        } else if (IsQuote(c) && !quote_ && Value().empty()) {
            quote_ = c;
        } else if (quote_ && c == quote_) {
            quote_ = 0;
            if (Value().empty() && !valueReported_) {
                Error(attributes_.back().where, "attribute '" + attributes_.back().name +
                                 "' has an empty value: the reader drops it, or reads what follows as its value");
                valueReported_ = true;
            }
            SetJoinPending(false);
        } else if (IsLineSpace(c) && !quote_) {
            SetJoinPending(true);
        } else if (c == '&') {
            ReportAmpersand();
        } else if (quote_ || !Value().empty()) {
            ReportValueChar(c, "the reader drops it");
        }
    }

    void SetJoinPending(bool byLineSpace)
    {
        if (!Value().empty()) {
            joinByLineSpace_ = byLineSpace || (joinPending_ && joinByLineSpace_);
            joinPending_ = true;
        }
    }

    void ReportValueChar(char c, const std::string& effect)
    {
        if (valueReported_) {
            return;
        }
        valueReported_ = true;
        Error(here_, "the value of '" + attributes_.back().name + "' holds " + Shown(c) +
                         ", which is not a name character (A-Z a-z 0-9 _ . - :): " + effect);
    }

    void ReportAmpersand()
    {
        size_t end = index_ + 1;
        while (end < text_.size() && IsNameChar(text_[end])) {
            ++end;
        }
        if (end == index_ + 1 || end >= text_.size() || text_[end] != ';') {
            ReportValueChar('&', "the reader drops it");
            return;
        }
        if (!valueReported_) {
            valueReported_ = true;
            const std::string entity(text_.substr(index_, end + 1 - index_));
            Error(here_, "'" + entity + "' in the value of '" + attributes_.back().name +
                             "' is not decoded: the reader keeps '" + entity.substr(1, entity.size() - 2) +
                             "' as part of the value");
        }
    }

    void ReportSpecialMarkup()
    {
        if (kind_ == MarkupKind::kPlain) {
            return;
        }
        const std::string what = kind_ == MarkupKind::kComment       ? "comments are"
                                  : kind_ == MarkupKind::kDeclaration ? "document type declarations are"
                                                                      : "'<!' markup is";
        std::string reading;
        if (slashSeen_ && endTag_) {
            reading = "an end tag";
        } else if (slashSeen_) {
            reading = "an empty element '" + element_ + "'";
        } else {
            reading = "an element '" + element_ + "' that stays open and holds what follows";
        }
        Error(markupStart_, what + " not supported: the reader reads this as " + reading);
    }

    void EndMarkup()
    {
        mode_ = Mode::kOutside;
        ReportSpecialMarkup();
        if (slashSeen_ && endTag_) {
            CloseElement();
            return;
        }
        if (pairOpen_ && Value().empty() && kind_ == MarkupKind::kPlain && !valueReported_) {
            Error(attributes_.back().where,
                  "attribute '" + attributes_.back().name + "' has no value: the reader drops it");
        }
        if (pairOpen_ && Value().empty()) {
            attributes_.pop_back();
        }
        if (RootClosed()) {
            Error(markupStart_, "element '" + element_ + "' after the root element is ignored");
            return;
        }
        auto element = std::make_unique<MarkedElement>();
        element->name = element_;
        element->where = markupStart_;
        element->fromComment = kind_ != MarkupKind::kPlain;
        element->attributes = std::move(attributes_);
        MarkedElement* made = element.get();
        document_.elements.push_back(std::move(element));
        if (!document_.root) {
            rootSelfClosed_ = slashSeen_;  // still the open element: nothing can follow it
            document_.root = made;
            open_.push_back(made);
            return;
        }
        made->parent = open_.back();
        open_.back()->children.push_back(made);
        if (!slashSeen_) {
            open_.push_back(made);
        }
    }

    void CloseElement()
    {
        const MarkedElement* closed = open_.empty() ? nullptr : open_.back();
        const std::string closes =
            closed ? "'" + closed->name + "' opened at " + PlaceText(closed->where) : std::string("nothing");
        if (slashAfterName_) {
            Error(markupStart_, "'<" + element_ + "/>' is read as an end tag (it closes " + closes +
                                    "), not as an empty element: write '<" + element_ + " />'");
            unbalanced_ = true;
        } else if (!closed) {
            Error(markupStart_, "end tag '</" + element_ + ">' closes nothing");
        } else if (closed->name != element_ && !unbalanced_) {
            Error(markupStart_, "'</" + element_ + ">' closes " + closes + ": end tags are not matched by name");
            unbalanced_ = true;
        }
        if (closed) {
            open_.pop_back();
        }
    }

    void ReportUnclosed()
    {
        const bool onlyEmptyRoot = open_.size() == 1 && rootSelfClosed_;
        if (!open_.empty() && !unbalanced_ && !onlyEmptyRoot) {
            Error(open_.back()->where, "'<" + open_.back()->name + ">' is never closed");
        }
    }

    std::string_view text_;
    const std::string& file_;
    Diagnostics& found_;
    MarkedDocument document_;
    std::vector<MarkedElement*> open_;

    size_t index_ = 0;
    TextPosition here_{1, 1};
    Mode mode_ = Mode::kOutside;
    Part part_ = Part::kElementName;
    MarkupKind kind_ = MarkupKind::kPlain;
    TextPosition markupStart_;
    std::string element_;
    std::vector<MarkedAttribute> attributes_;  // the last one is being read while pairOpen_
    bool pairOpen_ = false;
    bool slashSeen_ = false;
    bool endTag_ = false;
    bool nameEnded_ = false;
    bool slashAfterName_ = false;  // a slash straight after the element name
    char quote_ = 0;               // the quotation mark the value opened with
    bool joinPending_ = false;     // a non-separator stands after a name or value
    bool joinByLineSpace_ = false;
    bool valueReported_ = false;
    bool inText_ = false;
    bool textAfterRootReported_ = false;
    bool rootSelfClosed_ = false;
    bool unbalanced_ = false;  // an end tag closed another element: later ones follow from it
};

}  // namespace

MarkedDocument ReadMarkedMarkup(std::string_view text, const std::string& fileName, Diagnostics& found)
{
    return MarkedScanner(text, fileName, found).Scan();
}
