#include "scene/markup_scanner.h"

#include <algorithm>
#include <tuple>

#include "scene/markup_bytes.h"

MarkupSink::~MarkupSink() = default;

namespace {

using namespace markup_bytes;

// One pass over the bytes with constant work per byte (an entity's name is
// looked at once more when noted). Each element goes to the sink when its
// markup closes, its attributes first gathered in the scanner's own list.
class Scanner {
public:
    Scanner(std::string_view text, MarkupSink& sink, ScanPath path)
        : begin_(text.data()),
          end_(text.data() + text.size()),
          sink_(sink),
          notes_(sink.WantsNotes()),
          plainMarkupShortcut_(path == ScanPath::kFast && !notes_)
    {
    }

    void Scan()
    {
        const char* p = begin_;
        while (p < end_) {
            switch (mode_) {
            case Mode::kOutside:
                p = ScanOutside(p);
                break;
            case Mode::kInstruction:
                p = Find(p, end_, '>');
                if (p < end_) {
                    mode_ = Mode::kOutside;
                    ++p;
                }
                break;
            case Mode::kMarkup:
                p = ScanByteRules(p);
                break;
            }
        }
        EndOfText();
    }

private:
    enum class Mode { kOutside, kMarkup, kInstruction };
    enum class Part { kElementName, kAttributeName, kAttributeValue };

    size_t OffsetOf(const char* p) const { return static_cast<size_t>(p - begin_); }
    bool RootClosed() const { return rootSeen_ && open_ == 0; }

    void Note(MarkupNote note)
    {
        sink_.Note(note);
    }

    // Text between elements carries no information; returns where markup
    // goes on.
    const char* ScanOutside(const char* p)
    {
        const char* markup = Find(p, end_, '<');
        if (notes_) {
            NoteText(p, markup);
        }
        if (markup == end_) {
            return end_;
        }
        BeginMarkup(markup);
        ++markup;
        return plainMarkupShortcut_ ? ScanPlainMarkup(markup) : markup;
    }

    // One note for the text between two markups, at its first byte that is
    // not a space, tab or line end.
    void NoteText(const char* p, const char* end)
    {
        p = std::find_if(p, end, [](char c) { return c != ' ' && !IsLineSpace(c); });
        if (p == end) {
            return;
        }
        if (!RootClosed()) {
            Note({.kind = rootSeen_ ? NoteKind::kTextBetweenElements : NoteKind::kTextBeforeRoot,
                  .offset = OffsetOf(p)});
        } else if (!textAfterRootNoted_) {
            textAfterRootNoted_ = true;
            Note({.kind = NoteKind::kTextAfterRoot, .offset = OffsetOf(p)});
        }
    }

    void BeginMarkup(const char* lessThan)
    {
        markup_.name.clear();
        markup_.attributes.clear();
        markup_.attributeOffsets.clear();
        markup_.offset = OffsetOf(lessThan);
        markup_.kind = notes_ ? KindAfter(std::string_view(lessThan + 1, static_cast<size_t>(end_ - lessThan - 1)))
                              : MarkupKind::kPlain;
        pairOpen_ = false;
        slashSeen_ = endTag_ = nameEnded_ = slashAfterName_ = false;
        joinPending_ = valueNoted_ = false;
        quote_ = 0;
        part_ = Part::kElementName;
        mode_ = Mode::kMarkup;
    }

    // The byte rules: handles markup bytes until the markup ends, the mode
    // changes or the text ends; returns where it stopped.
    const char* ScanByteRules(const char* p)
    {
        while (p < end_) {
            const char* at = p++;
            switch (ClassOf(*at)) {
            case kName:
                // A run of name characters holds no separator or markup
                // character: taken whole.
                p = RunEnd(p, end_);
                OnNameRun(at, p);
                break;
            case kSpace:
                OnSpace(at);
                break;
            case kEquals:
                OnEquals(at);
                break;
            case kSlash:
                OnSlash(at);
                break;
            case kQuestion:
                if (part_ == Part::kElementName) {
                    mode_ = Mode::kInstruction;
                    return p;
                }
                if (notes_ && part_ == Part::kAttributeValue) {
                    OnValueByte(at);
                }
                break;
            case kClose:
                EndMarkup();
                return p;
            case kOther:
                if (notes_) {
                    OnOtherByte(at);
                }
                break;
            }
        }
        return p;
    }

    // Markup of the shape nearly every scene element has, read in one
    // straight pass:
    //   name (space+ name '=' quote? value quote?)* space* ('/')? '>'
    //   '/' name '>'
    // with each pass over the markup making exactly the changes the byte
    // rules make. At the first byte that does not fit the shape the markup is
    // begun again and left to the byte rules; returns where scanning goes on.
    const char* ScanPlainMarkup(const char* const start)
    {
        const char* p = start;
        if (p < end_ && *p == '/') {
            slashSeen_ = endTag_ = true;
            ++p;
        }
        const char* name = p;
        p = RunEnd(p, end_);
        if (p == name) {
            return Restart(start);
        }
        markup_.name.assign(name, static_cast<size_t>(p - name));
        while (p < end_) {
            switch (*p) {
            case ' ':
                if (endTag_) {
                    return Restart(start);
                }
                nameEnded_ = true;
                part_ = Part::kAttributeName;
                while (++p < end_ && *p == ' ') {
                }
                if (p < end_ && ClassOf(*p) == kName) {
                    p = ScanPlainAttribute(p);
                    if (!p) {
                        return Restart(start);
                    }
                }
                break;
            case '/':
                if (slashSeen_ || p + 1 == end_ || p[1] != '>') {
                    return Restart(start);
                }
                slashSeen_ = true;
                endTag_ = !nameEnded_;
                ++p;
                break;
            case '>':
                EndMarkup();
                return p + 1;
            default:
                return Restart(start);
            }
        }
        return Restart(start);
    }

    // name '=' quote? value quote?, followed by a space, '/' or '>'; null
    // when the attribute does not have that shape.
    const char* ScanPlainAttribute(const char* p)
    {
        const char* name = p;
        p = RunEnd(p, end_);
        if (p == end_ || *p != '=') {
            return nullptr;
        }
        const char* nameEnd = p++;
        if (p < end_ && IsQuote(*p)) {
            ++p;
        }
        const char* value = p;
        p = RunEnd(p, end_);
        if (p == value) {
            return nullptr;
        }
        const char* valueEnd = p;
        if (p < end_ && IsQuote(*p)) {
            ++p;
        }
        if (p == end_ || (*p != ' ' && *p != '/' && *p != '>')) {
            return nullptr;
        }
        markup_.attributes.emplace_back(std::piecewise_construct,
                                        std::forward_as_tuple(name, static_cast<size_t>(nameEnd - name)),
                                        std::forward_as_tuple(value, static_cast<size_t>(valueEnd - value)));
        markup_.attributeOffsets.push_back(OffsetOf(name));
        part_ = Part::kAttributeName;  // complete: the next byte ends it
        return p;
    }

    const char* Restart(const char* start)
    {
        BeginMarkup(start - 1);
        return start;
    }

    std::string& AttributeName() { return markup_.attributes.back().first; }
    std::string& Value() { return markup_.attributes.back().second; }

    void OpenPair(const char* at)
    {
        if (!pairOpen_) {
            markup_.attributes.emplace_back();
            markup_.attributeOffsets.push_back(OffsetOf(at));
            pairOpen_ = true;
            valueNoted_ = false;
        }
    }

    void OnNameRun(const char* run, const char* runEnd)
    {
        const size_t length = static_cast<size_t>(runEnd - run);
        switch (part_) {
        case Part::kElementName:
            if (joinPending_) {
                Note({.kind = NoteKind::kElementNameRunsOn, .offset = OffsetOf(run), .byte = *run,
                      .name = markup_.name});
                joinPending_ = false;
            }
            markup_.name.append(run, length);
            return;
        case Part::kAttributeName:
            // Words before an equals sign run together into one name.
            OpenPair(run);
            AttributeName().append(run, length);
            return;
        case Part::kAttributeValue:
            if (joinPending_) {
                Note({.kind = NoteKind::kValueRunsOn, .offset = OffsetOf(run), .byte = *run,
                      .name = AttributeName(), .byLineSpace = joinByLineSpace_});
                joinPending_ = false;
                valueNoted_ = true;  // what follows belongs to the next attribute
            }
            Value().append(run, length);
            return;
        }
    }

    void OnSpace(const char* at)
    {
        switch (part_) {
        case Part::kElementName:
            joinPending_ = false;
            if (!markup_.name.empty()) {
                nameEnded_ = true;
                part_ = Part::kAttributeName;
            }
            return;
        case Part::kAttributeName:
            return;
        case Part::kAttributeValue:
            if (Value().empty()) {
                return;
            }
            if (quote_) {
                NoteValueByte(at, NoteKind::kValueHoldsSpace);
            }
            pairOpen_ = joinPending_ = false;  // the attribute is complete
            quote_ = 0;
            part_ = Part::kAttributeName;
            return;
        }
    }

    void OnEquals(const char* at)
    {
        if (part_ == Part::kAttributeName) {
            OpenPair(at);
            part_ = Part::kAttributeValue;
            quote_ = 0;
            valueNoted_ = joinPending_ = false;
        } else if (notes_ && part_ == Part::kAttributeValue) {
            OnValueByte(at);
        }
    }

    // Wherever it stands, even inside a value: before the element name ended
    // a slash makes an end tag, after it an empty element.
    void OnSlash(const char* at)
    {
        slashSeen_ = true;
        endTag_ = !nameEnded_;
        if (part_ == Part::kElementName && !markup_.name.empty()) {
            slashAfterName_ = true;
        }
        if (notes_ && part_ == Part::kAttributeValue && quote_) {
            NoteValueByte(at, NoteKind::kValueHoldsSlash);
        }
    }

    // Bytes the element is built without; only notes see them.
    void OnOtherByte(const char* at)
    {
        if (part_ == Part::kElementName) {
            if (IsLineSpace(*at) && !markup_.name.empty()) {
                joinPending_ = true;
            }
        } else if (part_ == Part::kAttributeValue) {
            OnValueByte(at);
        }
    }

    // A byte of a value that is neither a name character, a space nor a
    // slash: a quotation mark that opens or closes it, a tab or line end
    // after it, an entity, or a byte that is dropped.
    void OnValueByte(const char* at)
    {
        const char c = *at;
        if (IsQuote(c) && !quote_ && Value().empty()) {
            quote_ = c;
        } else if (quote_ && c == quote_) {
            quote_ = 0;
            if (Value().empty() && !valueNoted_) {
                Note({.kind = NoteKind::kEmptyQuotedValue, .offset = markup_.attributeOffsets.back(),
                      .name = AttributeName()});
                valueNoted_ = true;
            }
            SetJoinPending(false);
        } else if (IsLineSpace(c) && !quote_) {
            SetJoinPending(true);
        } else if (c == '&') {
            OnAmpersand(at);
        } else if (quote_ || !Value().empty()) {
            NoteValueByte(at, NoteKind::kValueHoldsOther);
        }
    }

    // A name character after this leaves no separator before it.
    void SetJoinPending(bool byLineSpace)
    {
        if (!Value().empty()) {
            joinByLineSpace_ = byLineSpace || (joinPending_ && joinByLineSpace_);
            joinPending_ = true;
        }
    }

    // One note for a value's first stray byte.
    void NoteValueByte(const char* at, NoteKind kind)
    {
        if (valueNoted_) {
            return;
        }
        valueNoted_ = true;
        Note({.kind = kind, .offset = OffsetOf(at), .byte = *at, .name = AttributeName()});
    }

    // "&name;" is an entity the rules keep undecoded; any other '&' is dropped.
    void OnAmpersand(const char* at)
    {
        const char* nameEnd = RunEnd(at + 1, end_);
        if (nameEnd == at + 1 || nameEnd == end_ || *nameEnd != ';') {
            NoteValueByte(at, NoteKind::kValueHoldsOther);
            return;
        }
        if (!valueNoted_) {
            valueNoted_ = true;
            Note({.kind = NoteKind::kEntity, .offset = OffsetOf(at), .name = AttributeName(),
                  .text = std::string_view(at, static_cast<size_t>(nameEnd + 1 - at))});
        }
    }

    MarkupReading Reading() const
    {
        return slashSeen_ && endTag_ ? MarkupReading::kEndTag
               : slashSeen_          ? MarkupReading::kEmptyElement
                                     : MarkupReading::kOpenElement;
    }

    void EndMarkup()
    {
        mode_ = Mode::kOutside;
        if (markup_.kind != MarkupKind::kPlain) {
            Note({.kind = NoteKind::kNotPlainMarkup, .offset = markup_.offset, .name = markup_.name,
                  .markup = markup_.kind, .reading = Reading()});
        }
        if (slashSeen_ && endTag_) {
            EndTag();
            return;
        }
        DropValuelessAttribute();
        if (RootClosed()) {
            if (notes_) {
                Note({.kind = NoteKind::kAfterRoot, .offset = markup_.offset, .name = markup_.name});
            }
            return;  // nothing to attach it to
        }
        const bool isRoot = !rootSeen_;
        const bool opens = isRoot || !slashSeen_;
        if (isRoot) {
            rootSeen_ = true;
            rootSelfClosed_ = slashSeen_;  // still the open element: nothing can follow it
        }
        if (opens) {
            ++open_;
            if (notes_) {
                openMarkups_.push_back({markup_.name, markup_.offset});
            }
        }
        sink_.Element(markup_, opens);
    }

    // An attribute whose value is still empty is dropped.
    void DropValuelessAttribute()
    {
        if (pairOpen_ && Value().empty()) {
            if (notes_ && markup_.kind == MarkupKind::kPlain && !valueNoted_) {
                Note({.kind = NoteKind::kNoValue, .offset = markup_.attributeOffsets.back(),
                      .name = AttributeName()});
            }
            markup_.attributes.pop_back();
            markup_.attributeOffsets.pop_back();
        }
        pairOpen_ = false;
    }

    // The innermost open element ends, whatever its name.
    void EndTag()
    {
        if (notes_) {
            NoteEndTag();
        }
        if (open_ > 0) {
            CloseInnermost();
        }
    }

    void NoteEndTag()
    {
        const OpenMarkup* closed = openMarkups_.empty() ? nullptr : &openMarkups_.back();
        if (slashAfterName_) {
            Note({.kind = NoteKind::kSlashAfterName, .offset = markup_.offset, .name = markup_.name,
                  .closed = closed});
            unbalanced_ = true;
        } else if (!closed) {
            Note({.kind = NoteKind::kClosesNothing, .offset = markup_.offset, .name = markup_.name});
        } else if (closed->name != markup_.name && !unbalanced_) {
            Note({.kind = NoteKind::kClosesOther, .offset = markup_.offset, .name = markup_.name,
                  .closed = closed});
            unbalanced_ = true;  // the end tags after it follow from it
        }
    }

    void CloseInnermost()
    {
        --open_;
        if (notes_) {
            openMarkups_.pop_back();
        }
        sink_.EndElement();
    }

    // Elements left open at the end of the text keep what they hold; one
    // note for the innermost, unless an end tag that closed another element
    // explains it.
    void EndOfText()
    {
        const bool onlyEmptyRoot = open_ == 1 && rootSelfClosed_;
        if (notes_ && open_ > 0 && !unbalanced_ && !onlyEmptyRoot) {
            Note({.kind = NoteKind::kNeverClosed, .offset = openMarkups_.back().offset,
                  .name = openMarkups_.back().name});
        }
        while (open_ > 0) {
            CloseInnermost();
        }
    }

    const char* const begin_;
    const char* const end_;
    MarkupSink& sink_;
    const bool notes_;
    const bool plainMarkupShortcut_;

    Mode mode_ = Mode::kOutside;
    Part part_ = Part::kElementName;
    ScannedMarkup markup_;   // its last attribute is being read while pairOpen_
    bool pairOpen_ = false;
    bool slashSeen_ = false;
    bool endTag_ = false;
    bool nameEnded_ = false;
    size_t open_ = 0;  // elements whose end has not been seen
    bool rootSeen_ = false;
    bool rootSelfClosed_ = false;

    // Only for notes.
    std::vector<OpenMarkup> openMarkups_;  // outermost first
    bool slashAfterName_ = false;          // a slash straight after the element name
    char quote_ = 0;                       // the quotation mark the value opened with
    bool joinPending_ = false;             // a non-separator stands after a name or value
    bool joinByLineSpace_ = false;
    bool valueNoted_ = false;
    bool textAfterRootNoted_ = false;
    bool unbalanced_ = false;  // an end tag closed another element
};

}  // namespace

void ScanMarkup(std::string_view text, MarkupSink& sink, ScanPath path)
{
    Scanner(text, sink, path).Scan();
}
