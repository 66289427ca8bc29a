#include "scene/xml_reader.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>

#include "core/file_read.h"
#include "core/log.h"

XMLTag::XMLTag(std::string tagName, std::pmr::memory_resource* memory)
    : name(std::move(tagName)), attributes(memory)
{
}

namespace {

// Set while a reader releases the elements of a large tree past the first
// ones: each writes no line of its own then.
thread_local bool releasingQuietly = false;

}  // namespace

XMLTag::~XMLTag()
{
    if (!releasingQuietly) {
        Log("XMLTag dtor: ", name);
    }
}

int XMLTag::AddAttribute(XMLAttribute attribute)
{
    attributes.push_back(std::move(attribute));
    return 0;
}

XMLTagExtended::XMLTagExtended(std::string tagName, std::pmr::memory_resource* memory)
    : XMLTag(std::move(tagName), memory), children(memory)
{
    isExtended = true;
}

XMLTagExtended::~XMLTagExtended()
{
    if (!releasingQuietly) {
        LogLine("XMLTagExtended dtor");
    }
}

XMLTagExtended* AsExtended(XMLTag* tag)
{
    return tag && tag->isExtended ? dynamic_cast<XMLTagExtended*>(tag) : nullptr;
}

namespace {

// What a byte means inside markup.
enum ByteClass : unsigned char {
    kOther,     // skipped (quotes, tab, line ends, bytes 0x80 and above, ...)
    kName,      // A-Z a-z 0-9 _ . - :
    kSpace,     // the only separator
    kEquals,
    kSlash,
    kQuestion,
    kClose,     // '>'
};

constexpr std::array<ByteClass, 256> MakeByteClassTable()
{
    std::array<ByteClass, 256> table{};
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = kName;
    for (int c = 'a'; c <= 'z'; ++c) table[c] = kName;
    for (int c = '0'; c <= '9'; ++c) table[c] = kName;
    table['_'] = table['.'] = table['-'] = table[':'] = kName;
    table[' '] = kSpace;
    table['='] = kEquals;
    table['/'] = kSlash;
    table['?'] = kQuestion;
    table['>'] = kClose;
    return table;
}

constexpr std::array<ByteClass, 256> kByteClass = MakeByteClassTable();

ByteClass ClassOf(char c)
{
    return kByteClass[static_cast<unsigned char>(c)];
}

// The end of the run of name characters that starts at p.
const char* RunEnd(const char* p, const char* end)
{
    while (p < end && ClassOf(*p) == kName) {
        ++p;
    }
    return p;
}

}  // namespace

// One pass over the bytes with constant work per byte; each element is built
// when its markup closes, its attributes first built in the scanner's list of
// completed attributes, its children given to it when its end is seen.
class XMLScanner {
public:
    XMLScanner(XMLReader& reader, bool plainMarkupShortcut)
        : reader_(reader), plainMarkupShortcut_(plainMarkupShortcut)
    {
    }

    void Scan(const char* bytes, size_t size)
    {
        const char* p = bytes;
        const char* const end = bytes + size;
        while (p < end) {
            switch (mode_) {
            case Mode::kOutside:
                // Text between elements carries no information.
                p = Find(p, end, '<');
                if (p < end) {
                    BeginMarkup();
                    ++p;
                    if (plainMarkupShortcut_) {
                        p = ScanPlainMarkup(p, end);
                    }
                }
                break;
            case Mode::kInstruction:
                p = Find(p, end, '>');
                if (p < end) {
                    mode_ = Mode::kOutside;
                    ++p;
                }
                break;
            case Mode::kMarkup:
                p = ScanMarkup(p, end);
                break;
            }
        }
        // Elements left open at the end of the input keep what they hold.
        while (!open_.empty()) {
            CloseElement();
        }
    }

private:
    enum class Mode { kOutside, kMarkup, kInstruction };
    enum class Part { kElementName, kAttributeName, kAttributeValue };

    static const char* Find(const char* p, const char* end, char wanted)
    {
        const void* found = std::memchr(p, wanted, static_cast<size_t>(end - p));
        return found ? static_cast<const char*>(found) : end;
    }

    void BeginMarkup()
    {
        element_.clear();
        completed_.clear();
        pairOpen_ = false;
        slashSeen_ = endTag_ = nameEnded_ = false;
        part_ = Part::kElementName;
        mode_ = Mode::kMarkup;
    }

    // Handles markup bytes until the markup ends, the mode changes or the
    // input ends; returns where it stopped.
    const char* ScanMarkup(const char* p, const char* end)
    {
        while (p < end) {
            const char c = *p++;
            switch (ClassOf(c)) {
            case kName: {
                // A run of name characters holds no separator or markup
                // character: append it whole.
                const char* run = p - 1;
                p = RunEnd(p, end);
                AppendRun(run, static_cast<size_t>(p - run));
                break;
            }
            case kSpace:
                OnSpace();
                break;
            case kEquals:
                if (part_ == Part::kAttributeName) {
                    OpenPair();
                    part_ = Part::kAttributeValue;
                }
                break;
            case kSlash:
                // Wherever it stands, even inside a value: before the element
                // name ended it makes an end tag, after it an empty element.
                slashSeen_ = true;
                endTag_ = !nameEnded_;
                break;
            case kQuestion:
                if (part_ == Part::kElementName) {
                    mode_ = Mode::kInstruction;
                    return p;
                }
                break;
            case kClose:
                EndMarkup();
                return p;
            case kOther:
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
    const char* ScanPlainMarkup(const char* const start, const char* end)
    {
        const char* p = start;
        if (p < end && *p == '/') {
            slashSeen_ = endTag_ = true;
            ++p;
        }
        const char* name = p;
        p = RunEnd(p, end);
        if (p == name) {
            return Restart(start);
        }
        element_.assign(name, static_cast<size_t>(p - name));
        while (p < end) {
            switch (*p) {
            case ' ':
                if (endTag_) {
                    return Restart(start);
                }
                nameEnded_ = true;
                part_ = Part::kAttributeName;
                while (++p < end && *p == ' ') {
                }
                if (p < end && ClassOf(*p) == kName) {
                    p = ScanPlainAttribute(p, end);
                    if (!p) {
                        return Restart(start);
                    }
                }
                break;
            case '/':
                if (slashSeen_ || p + 1 == end || p[1] != '>') {
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
    const char* ScanPlainAttribute(const char* p, const char* end)
    {
        const char* name = p;
        p = RunEnd(p, end);
        if (p == end || *p != '=') {
            return nullptr;
        }
        const char* nameEnd = p++;
        if (p < end && (*p == '"' || *p == '\'')) {
            ++p;
        }
        const char* value = p;
        p = RunEnd(p, end);
        if (p == value) {
            return nullptr;
        }
        const char* valueEnd = p;
        if (p < end && (*p == '"' || *p == '\'')) {
            ++p;
        }
        if (p == end || (*p != ' ' && *p != '/' && *p != '>')) {
            return nullptr;
        }
        completed_.emplace_back(std::piecewise_construct,
                                std::forward_as_tuple(name, static_cast<size_t>(nameEnd - name)),
                                std::forward_as_tuple(value, static_cast<size_t>(valueEnd - value)));
        part_ = Part::kAttributeName;  // complete: the next byte ends it
        return p;
    }

    const char* Restart(const char* start)
    {
        BeginMarkup();
        return start;
    }

    void OpenPair()
    {
        if (!pairOpen_) {
            completed_.emplace_back();
            pairOpen_ = true;
        }
    }

    void AppendRun(const char* run, size_t length)
    {
        switch (part_) {
        case Part::kElementName:
            element_.append(run, length);
            return;
        case Part::kAttributeName:
            // Words before an equals sign run together into one name.
            OpenPair();
            completed_.back().first.append(run, length);
            return;
        case Part::kAttributeValue:
            completed_.back().second.append(run, length);
            return;
        }
    }

    void OnSpace()
    {
        if (part_ == Part::kElementName && !element_.empty()) {
            nameEnded_ = true;
            part_ = Part::kAttributeName;
        } else if (part_ == Part::kAttributeValue && !completed_.back().second.empty()) {
            pairOpen_ = false;  // the attribute is complete
            part_ = Part::kAttributeName;
        }
    }

    void EndMarkup()
    {
        mode_ = Mode::kOutside;
        if (slashSeen_ && endTag_) {
            if (!open_.empty()) {
                CloseElement();
            }
            return;
        }
        // An attribute whose value is still empty is dropped.
        if (pairOpen_ && completed_.back().second.empty()) {
            completed_.pop_back();
        }
        pairOpen_ = false;
        if (reader_.root && open_.empty()) {
            return;  // markup after the root element has closed: nothing to attach it to
        }
        XMLTagExtended* tag = MakeTag();
        if (!reader_.root) {
            reader_.root = tag;
            OpenElement(tag);
            return;
        }
        openChildren_.push_back(tag);
        if (!slashSeen_) {
            OpenElement(tag);
        }
    }

    void OpenElement(XMLTagExtended* tag) { open_.push_back(Open{tag, openChildren_.size()}); }

    // The innermost open element gets its children, in one list of exactly
    // their number.
    void CloseElement()
    {
        const Open element = open_.back();
        open_.pop_back();
        const auto first = openChildren_.begin() + static_cast<std::ptrdiff_t>(element.firstChild);
        element.tag->children.assign(first, openChildren_.end());
        openChildren_.erase(first, openChildren_.end());
    }

    XMLTagExtended* MakeTag()
    {
        XMLTagExtended* tag = reader_.NewTag(std::move(element_));
        // The element's list is made at its exact size; the scanner keeps
        // its own list's room for the next markup.
        tag->attributes.assign(std::make_move_iterator(completed_.begin()),
                               std::make_move_iterator(completed_.end()));
        return tag;
    }

    XMLReader& reader_;
    const bool plainMarkupShortcut_;
    Mode mode_ = Mode::kOutside;
    Part part_ = Part::kElementName;
    std::string element_;
    std::vector<XMLAttribute> completed_;  // the last one is being read while pairOpen_
    bool pairOpen_ = false;
    bool slashSeen_ = false;
    bool endTag_ = false;
    bool nameEnded_ = false;
    // The elements whose end has not been seen, outermost first, and the
    // children found so far for each: those of open_[i] start at its
    // firstChild and end where those of open_[i + 1] begin.
    struct Open {
        XMLTagExtended* tag;
        size_t firstChild;
    };
    std::vector<Open> open_;
    std::vector<XMLTag*> openChildren_;
};

// Raw storage for `capacity` nodes; the reader constructs them in place and
// destroys them in creation order.
struct XMLReader::NodeBlock {
    explicit NodeBlock(size_t nodes)
        : capacity(nodes), storage(std::allocator<XMLTagExtended>().allocate(nodes))
    {
    }
    ~NodeBlock() { std::allocator<XMLTagExtended>().deallocate(storage, capacity); }
    NodeBlock(const NodeBlock&) = delete;
    NodeBlock& operator=(const NodeBlock&) = delete;

    // Where node `index` is to be built.
    void* Slot(size_t index) { return storage + index; }

    // Node `index`, once it has been built.
    XMLTagExtended* At(size_t index) { return std::launder(storage + index); }

    const size_t capacity;
    XMLTagExtended* const storage;
};

XMLReader::XMLReader() = default;

XMLReader::~XMLReader()
{
    Clear();
}

XMLTagExtended* XMLReader::NewTag(std::string name)
{
    if (blocks_.empty() || usedInLastBlock_ == blocks_.back()->capacity) {
        const size_t nodes =
            blocks_.empty() ? kFirstBlockNodes
                            : std::min(2 * blocks_.back()->capacity, kLargestBlockNodes);
        blocks_.push_back(std::make_unique<NodeBlock>(nodes));
        usedInLastBlock_ = 0;
    }
    void* place = blocks_.back()->Slot(usedInLastBlock_);
    XMLTagExtended* tag = new (place) XMLTagExtended(std::move(name), &lists_);
    ++usedInLastBlock_;
    return tag;
}

void XMLReader::Clear()
{
    root = nullptr;
    size_t released = 0;
    for (size_t b = 0; b < blocks_.size(); ++b) {
        const size_t count = b + 1 == blocks_.size() ? usedInLastBlock_ : blocks_[b]->capacity;
        for (size_t i = 0; i < count; ++i, ++released) {
            releasingQuietly = released >= kMostReleaseLines;
            std::destroy_at(blocks_[b]->At(i));
        }
    }
    releasingQuietly = false;
    if (released > kMostReleaseLines) {
        Log("XMLTag dtor: and ", released - kMostReleaseLines, " more elements");
    }
    blocks_.clear();
    usedInLastBlock_ = 0;
    lists_.release();
}

int XMLReader::Load(const std::string& fileName)
{
    FileBytes bytes;
    std::string error;
    // Refused from its size, before a byte of it is read.
    ReadAdmission admission;
    admission.maxBytes = kMaxFileBytes;
    if (!ReadWholeFile(fileName, bytes, &error, admission)) {
        if (error == kNoMemoryForFile) {
            LogLine("Alocate error!");
        } else if (bytes.fileSize > kMaxFileBytes) {
            Problem("Scene file ", fileName, " is too large: ", bytes.fileSize, " bytes, at most ",
                kMaxFileBytes, " are read");
        }
        lastError_ = error;
        return -1;
    }
    Parse(reinterpret_cast<const char*>(bytes.data.get()), bytes.size);
    return 0;
}

void XMLReader::Parse(const char* bytes, size_t size, ScanPath path)
{
    Clear();
    XMLScanner(*this, path == ScanPath::kFast).Scan(bytes, size);
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
