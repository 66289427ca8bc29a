#include "scene/xml_reader.h"

#include <algorithm>
#include <cstddef>
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

// Builds the tree from the scanner's elements: each element is made when its
// markup closes, and given its children, in one list of exactly their
// number, when its end is seen.
class XMLTreeBuilder final : public MarkupSink {
public:
    explicit XMLTreeBuilder(XMLReader& reader) : reader_(reader) {}

    void Element(ScannedMarkup& markup, bool opens) override
    {
        XMLTagExtended* tag = reader_.NewTag(std::move(markup.name));
        // The element's list is made at its exact size; the scanner keeps
        // its own list's room for the next markup.
        tag->attributes.assign(std::make_move_iterator(markup.attributes.begin()),
                               std::make_move_iterator(markup.attributes.end()));
        if (!reader_.root) {
            reader_.root = tag;
        } else {
            openChildren_.push_back(tag);
        }
        if (opens) {
            open_.push_back(Open{tag, openChildren_.size()});
        }
    }

    void EndElement() override
    {
        const Open element = open_.back();
        open_.pop_back();
        const auto first = openChildren_.begin() + static_cast<std::ptrdiff_t>(element.firstChild);
        element.tag->children.assign(first, openChildren_.end());
        openChildren_.erase(first, openChildren_.end());
    }

private:
    XMLReader& reader_;
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
    XMLTreeBuilder builder(*this);
    ScanMarkup(std::string_view(bytes, size), builder, path);
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
