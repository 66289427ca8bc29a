#pragma once
// The one reading of the scene's markup. A single pass over the bytes finds
// each element with its attributes and where they stand, and hands them to a
// sink, which builds whatever tree it needs: the player's element tree, or
// the checker's tree of located elements. On request the same pass also
// notes the markup that these rules read differently from an ordinary XML
// reader (comments, "<x/>", tabs between attributes, entities, ...).
//
// The rules, as the scene's writers know them:
// - An attribute value is a run of name characters (A-Z a-z 0-9 _ . - :).
//   Quotation marks are optional and dropped; a value cannot hold spaces,
//   slashes or other punctuation, and must not be empty.
// - Attributes are separated by at least one space. Tab, carriage return and
//   line feed are not separators.
// - An element without content is closed in its own markup by a slash, with a
//   space between the element name and the slash; a slash anywhere among the
//   attributes makes the element empty. A name followed directly by a slash is
//   an end tag. End tags are not matched against the element they close.
// - Before the root element only an XML declaration may stand; any other
//   markup there (a comment, a document type declaration) becomes the root.
// - Text between elements, and markup after the root element has closed, are
//   ignored.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using XMLAttribute = std::pair<std::string, std::string>;

// What stands after the '<': markup read as an element although an ordinary
// XML reader would not read it so.
enum class MarkupKind { kPlain, kComment, kDeclaration, kOtherBang };

// One element's markup, handed to the sink when it closes. The sink may move
// the name and the attributes away; the scanner reuses the lists' room.
struct ScannedMarkup {
    std::string name;
    std::vector<XMLAttribute> attributes;  // document order; names may repeat
    std::vector<size_t> attributeOffsets;  // each one's name (or '=' when it has none)
    size_t offset = 0;                     // the '<'
    MarkupKind kind = MarkupKind::kPlain;
};

// An element whose end has not been seen, as notes name it.
struct OpenMarkup {
    std::string name;
    size_t offset = 0;  // the '<'
};

// Markup that the rules read differently from an ordinary XML reader.
enum class NoteKind {
    kTextBeforeRoot,       // at the text's first byte
    kTextBetweenElements,  // at the text's first byte
    kTextAfterRoot,        // at the text's first byte; noted once
    kElementNameRunsOn,    // a tab or line end joins `byte` to the element name `name`
    kValueRunsOn,          // `byte` runs into the value of `name` (byLineSpace: after a tab or line end)
    kValueHoldsSlash,      // a slash in a quoted value: dropped, and the element is empty
    kValueHoldsSpace,      // a space in a quoted value: the value ends there
    kValueHoldsOther,      // `byte` is dropped from the value of `name`
    kEntity,               // `text` ("&amp;") in the value of `name` is kept undecoded
    kEmptyQuotedValue,     // the value of `name` is written empty; at the attribute
    kNoValue,              // attribute `name` has no value; at the attribute
    kNotPlainMarkup,       // `markup` is read as `reading`; `name` is the element's
    kAfterRoot,            // element `name` stands after the root element
    kSlashAfterName,       // "<name/>" is an end tag; it closes `closed` (or nothing)
    kClosesNothing,        // end tag of `name` with no element open
    kClosesOther,          // end tag of `name` closes `closed`, another element
    kNeverClosed,          // `name` opened at `offset` has no end
};

enum class MarkupReading { kEndTag, kEmptyElement, kOpenElement };

struct MarkupNote {
    NoteKind kind;
    size_t offset = 0;
    char byte = 0;
    std::string_view name{};
    std::string_view text{};
    bool byLineSpace = false;
    MarkupKind markup = MarkupKind::kPlain;
    MarkupReading reading = MarkupReading::kOpenElement;
    const OpenMarkup* closed = nullptr;
};

class MarkupSink {
public:
    virtual ~MarkupSink();
    // An element: with `opens` it holds what follows until EndElement. The
    // first element of the text is the root and always opens.
    virtual void Element(ScannedMarkup& markup, bool opens) = 0;
    // The innermost open element ends (at its end tag, or at the end of the
    // text for those left open).
    virtual void EndElement() = 0;
    // Notes are made only for a sink that wants them, and then the scan
    // follows the byte rules throughout.
    virtual bool WantsNotes() const { return false; }
    virtual void Note(const MarkupNote& /*note*/) {}
};

// How the bytes are scanned. Both give the same elements; the fast path reads
// ordinary markup in one pass and falls back to the byte rules for anything
// else. The byte rules alone exist so that tests can compare.
enum class ScanPath { kFast, kByteRules };

void ScanMarkup(std::string_view text, MarkupSink& sink, ScanPath path = ScanPath::kFast);
