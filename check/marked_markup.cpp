#include "check/marked_markup.h"

#include "scene/markup_scanner.h"
#include "scene/text_lines.h"

namespace {

// "a space", "a tab", "a line end", "a non-ASCII byte" or the character quoted.
std::string Shown(char c)
{
    switch (c) {
    case ' ':
        return "a space";
    case '\t':
        return "a tab";
    case '\r':
    case '\n':
        return "a line end";
    default:
        if (static_cast<unsigned char>(c) >= 0x80) {
            return "a non-ASCII byte";
        }
        return std::string("'") + c + "'";
    }
}

std::string Quoted(std::string_view name)
{
    return "'" + std::string(name) + "'";
}

// Builds the located tree from the scanner's elements and words its notes
// as the checker's findings.
class MarkedTreeBuilder final : public MarkupSink {
public:
    MarkedTreeBuilder(std::string_view text, const std::string& file, Diagnostics& found)
        : lines_(text), file_(file), found_(found)
    {
    }

    MarkedDocument Take() { return std::move(document_); }

    void Element(ScannedMarkup& markup, bool opens) override
    {
        auto element = std::make_unique<MarkedElement>();
        element->name = std::move(markup.name);
        element->where = Place(markup.offset);
        element->fromComment = markup.kind != MarkupKind::kPlain;
        element->attributes.reserve(markup.attributes.size());
        for (size_t i = 0; i < markup.attributes.size(); ++i) {
            element->attributes.push_back({std::move(markup.attributes[i].first),
                                           std::move(markup.attributes[i].second),
                                           Place(markup.attributeOffsets[i])});
        }
        MarkedElement* made = element.get();
        document_.elements.push_back(std::move(element));
        if (!document_.root) {
            document_.root = made;
        } else {
            made->parent = open_.back();
            open_.back()->children.push_back(made);
        }
        if (opens) {
            open_.push_back(made);
        }
    }

    void EndElement() override { open_.pop_back(); }

    bool WantsNotes() const override { return true; }

    void Note(const MarkupNote& note) override
    {
        const TextPosition where = Place(note.offset);
        if (note.kind == NoteKind::kTextBeforeRoot || note.kind == NoteKind::kTextBetweenElements) {
            found_.Warning(file_, where, Wording(note));
        } else {
            found_.Error(file_, where, Wording(note));
        }
    }

private:
    TextPosition Place(size_t offset) const
    {
        const LineColumn place = lines_.At(offset);
        return {place.line, place.column};
    }

    static std::string ValueHolds(const MarkupNote& note, const std::string& effect)
    {
        return "the value of " + Quoted(note.name) + " holds " + Shown(note.byte) +
               ", which is not a name character (A-Z a-z 0-9 _ . - :): " + effect;
    }

    static std::string Reading(const MarkupNote& note)
    {
        switch (note.reading) {
        case MarkupReading::kEndTag:
            return "an end tag";
        case MarkupReading::kEmptyElement:
            return "an empty element " + Quoted(note.name);
        case MarkupReading::kOpenElement:
            break;
        }
        return "an element " + Quoted(note.name) + " that stays open and holds what follows";
    }

    static std::string NotPlain(const MarkupNote& note)
    {
        const std::string what = note.markup == MarkupKind::kComment       ? "comments are"
                                 : note.markup == MarkupKind::kDeclaration ? "document type declarations are"
                                                                           : "'<!' markup is";
        return what + " not supported: the reader reads this as " + Reading(note);
    }

    std::string Closes(const OpenMarkup* closed) const
    {
        return closed ? Quoted(closed->name) + " opened at " + PlaceText(Place(closed->offset))
                      : std::string("nothing");
    }

    std::string Wording(const MarkupNote& note) const
    {
        const std::string name(note.name);
        switch (note.kind) {
        case NoteKind::kTextBeforeRoot:
            return "text before the root element is ignored";
        case NoteKind::kTextBetweenElements:
            return "text between elements is ignored";
        case NoteKind::kTextAfterRoot:
            return "text after the root element is ignored";
        case NoteKind::kElementNameRunsOn:
            return "a tab or line end is not a separator: '" + std::string(1, note.byte) +
                   "' runs into the element name '" + name + "' (write a space)";
        case NoteKind::kValueRunsOn:
            return std::string(note.byLineSpace ? "a tab or line end is not a separator"
                                                : "attributes need a space between them") +
                   ": '" + std::string(1, note.byte) + "' runs into the value of '" + name + "' (write a space)";
        case NoteKind::kValueHoldsSlash:
            return ValueHolds(note, "the reader drops it, and a slash makes the element empty");
        case NoteKind::kValueHoldsSpace:
            return ValueHolds(note, "the reader ends the value there");
        case NoteKind::kValueHoldsOther:
            return ValueHolds(note, "the reader drops it");
        case NoteKind::kEntity:
            return "'" + std::string(note.text) + "' in the value of '" + name +
                   "' is not decoded: the reader keeps '" + std::string(note.text.substr(1, note.text.size() - 2)) +
                   "' as part of the value";
        case NoteKind::kEmptyQuotedValue:
            return "attribute '" + name + "' has an empty value: the reader drops it, or reads what follows as its value";
        case NoteKind::kNoValue:
            return "attribute '" + name + "' has no value: the reader drops it";
        case NoteKind::kNotPlainMarkup:
            return NotPlain(note);
        case NoteKind::kAfterRoot:
            return "element '" + name + "' after the root element is ignored";
        case NoteKind::kSlashAfterName:
            return "'<" + name + "/>' is read as an end tag (it closes " + Closes(note.closed) +
                   "), not as an empty element: write '<" + name + " />'";
        case NoteKind::kClosesNothing:
            return "end tag '</" + name + ">' closes nothing";
        case NoteKind::kClosesOther:
            return "'</" + name + ">' closes " + Closes(note.closed) + ": end tags are not matched by name";
        case NoteKind::kNeverClosed:
            return "'<" + name + ">' is never closed";
        }
        return name;
    }

    TextLines lines_;
    const std::string& file_;
    Diagnostics& found_;
    MarkedDocument document_;
    std::vector<MarkedElement*> open_;
};

}  // namespace

MarkedDocument ReadMarkedMarkup(std::string_view text, const std::string& fileName, Diagnostics& found)
{
    MarkedTreeBuilder builder(text, fileName, found);
    ScanMarkup(text, builder, ScanPath::kByteRules);
    return builder.Take();
}
