#include "scene/xml_reader.h"

#include <array>
#include <cstring>

#include "runtime/file_read.h"
#include "runtime/log.h"

XMLTag::XMLTag(std::string tagName) : name(std::move(tagName))
{
}

XMLTag::~XMLTag()
{
    Log("XMLTag dtor: ", name);
}

int XMLTag::AddAttribute(XMLAttribute attribute)
{
    attributes.push_back(std::move(attribute));
    return 0;
}

XMLTagExtended::XMLTagExtended(std::string tagName) : XMLTag(std::move(tagName))
{
    isExtended = true;
}

XMLTagExtended::~XMLTagExtended()
{
    LogLine("XMLTagExtended dtor");
}

XMLTagExtended* AsExtended(XMLTag* tag)
{
    return tag && tag->isExtended ? dynamic_cast<XMLTagExtended*>(tag) : nullptr;
}

namespace {

constexpr std::array<bool, 256> MakeNameCharTable()
{
    std::array<bool, 256> table{};
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = true;
    for (int c = 'a'; c <= 'z'; ++c) table[c] = true;
    for (int c = '0'; c <= '9'; ++c) table[c] = true;
    table['_'] = table['.'] = table['-'] = table[':'] = true;
    return table;
}

constexpr std::array<bool, 256> kNameChar = MakeNameCharTable();

bool IsNameChar(char c)
{
    return kNameChar[static_cast<unsigned char>(c)];
}

}  // namespace

// One pass over the bytes with constant work per byte; each element is built
// when its markup closes.
class XMLScanner {
public:
    explicit XMLScanner(XMLReader& reader) : reader_(reader) {}

    void Scan(const char* bytes, size_t size)
    {
        for (size_t i = 0; i < size;) {
            switch (mode_) {
            case Mode::kOutside:
                i = SkipTo(bytes, size, i, '<');
                if (i < size) {
                    BeginMarkup();
                    ++i;
                }
                break;
            case Mode::kInstruction:
                i = SkipTo(bytes, size, i, '>');
                if (i < size) {
                    mode_ = Mode::kOutside;
                    ++i;
                }
                break;
            case Mode::kMarkup:
                i = ScanMarkup(bytes, size, i);
                break;
            }
        }
    }

private:
    enum class Mode { kOutside, kMarkup, kInstruction };
    enum class Part { kElementName, kAttributeName, kAttributeValue };

    static size_t SkipTo(const char* bytes, size_t size, size_t i, char wanted)
    {
        const void* found = std::memchr(bytes + i, wanted, size - i);
        return found ? static_cast<size_t>(static_cast<const char*>(found) - bytes) : size;
    }

    void BeginMarkup()
    {
        element_.clear();
        attributeName_.clear();
        attributeValue_.clear();
        completed_.clear();
        slashSeen_ = endTag_ = nameEnded_ = false;
        part_ = Part::kElementName;
        mode_ = Mode::kMarkup;
    }

    std::string& CurrentText()
    {
        switch (part_) {
        case Part::kElementName: return element_;
        case Part::kAttributeName: return attributeName_;
        case Part::kAttributeValue: break;
        }
        return attributeValue_;
    }

    // Handles the byte at i inside markup; returns the index of the next one.
    size_t ScanMarkup(const char* bytes, size_t size, size_t i)
    {
        const char c = bytes[i];
        if (IsNameChar(c)) {
            // A run of name characters holds no slash, space, '=', '?' or '>':
            // append it whole.
            size_t end = i + 1;
            while (end < size && IsNameChar(bytes[end])) {
                ++end;
            }
            CurrentText().append(bytes + i, end - i);
            return end;
        }
        if (c == '/') {
            slashSeen_ = true;
            endTag_ = !nameEnded_;
        }
        if (HandlePartByte(c)) {
            return i + 1;
        }
        if (c == '>') {
            EndMarkup();
        }
        return i + 1;
    }

    // The sub-state rules for a byte that is not a name character; true when
    // the byte is done.
    bool HandlePartByte(char c)
    {
        switch (part_) {
        case Part::kElementName:
            if (c == '?') {
                mode_ = Mode::kInstruction;
                return true;
            }
            if (c == ' ' && !element_.empty()) {
                nameEnded_ = true;
                part_ = Part::kAttributeName;
                return true;
            }
            return false;
        case Part::kAttributeName:
            if (c == '=') {
                part_ = Part::kAttributeValue;
                return true;
            }
            return false;
        case Part::kAttributeValue:
            if (c == ' ' && !attributeValue_.empty()) {
                CompleteAttribute();
                part_ = Part::kAttributeName;
                return true;
            }
            return false;
        }
        return false;
    }

    void CompleteAttribute()
    {
        completed_.emplace_back(std::move(attributeName_), std::move(attributeValue_));
        attributeName_.clear();
        attributeValue_.clear();
    }

    void EndMarkup()
    {
        mode_ = Mode::kOutside;
        if (slashSeen_ && endTag_) {
            if (!open_.empty()) {
                open_.pop_back();
            }
            return;
        }
        if (!attributeValue_.empty()) {
            CompleteAttribute();
        }
        if (reader_.root && open_.empty()) {
            return;  // markup after the root element has closed: nothing to attach it to
        }
        XMLTagExtended* tag = MakeTag();
        if (!reader_.root) {
            reader_.root = tag;
            open_.push_back(tag);
            return;
        }
        open_.back()->children.push_back(tag);
        if (!slashSeen_) {
            open_.push_back(tag);
        }
    }

    XMLTagExtended* MakeTag()
    {
        reader_.nodes_.push_back(std::make_unique<XMLTagExtended>(element_));
        XMLTagExtended* tag = reader_.nodes_.back().get();
        tag->attributes.reserve(completed_.size());
        for (XMLAttribute& attribute : completed_) {
            tag->AddAttribute(std::move(attribute));
        }
        return tag;
    }

    XMLReader& reader_;
    Mode mode_ = Mode::kOutside;
    Part part_ = Part::kElementName;
    std::string element_;
    std::string attributeName_;
    std::string attributeValue_;
    std::vector<XMLAttribute> completed_;
    bool slashSeen_ = false;
    bool endTag_ = false;
    bool nameEnded_ = false;
    std::vector<XMLTagExtended*> open_;
};

XMLReader::~XMLReader()
{
    Clear();
}

void XMLReader::Clear()
{
    root = nullptr;
    nodes_.clear();
}

int XMLReader::Load(const std::string& fileName)
{
    FileBytes bytes;
    switch (ReadWholeFile(fileName, bytes)) {
    case FileReadResult::kOk:
        break;
    case FileReadResult::kNoMemory:
        LogLine("Alocate error!");
        return -1;
    case FileReadResult::kCannotOpen:
        return -1;
    }
    Parse(reinterpret_cast<const char*>(bytes.data.get()), bytes.size);
    return 0;
}

void XMLReader::Parse(const char* bytes, size_t size)
{
    Clear();
    XMLScanner(*this).Scan(bytes, size);
}

XMLTag* XMLReader::FindTag(const std::string& path) const
{
    static constexpr std::string_view kSeparator = "::";
    std::string_view rest = path;
    XMLTag* current = nullptr;
    while (!rest.empty()) {
        const size_t cut = rest.find(kSeparator);
        const std::string_view component = rest.substr(0, cut);
        rest = cut == std::string_view::npos ? std::string_view{} : rest.substr(cut + 2);
        if (!current) {
            if (!root || root->name != component) {
                return nullptr;
            }
            current = root;
            continue;
        }
        XMLTagExtended* parent = AsExtended(current);
        if (!parent) {
            return nullptr;
        }
        XMLTag* next = nullptr;
        for (XMLTag* child : parent->children) {
            if (child->name == component) {
                next = child;
                break;
            }
        }
        if (!next) {
            return nullptr;
        }
        current = next;
    }
    return current;
}
