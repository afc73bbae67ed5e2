#include "VersionBlock.h"

#include "Utf8Writer.h"

#include <cerrno>
#include <cstdint>

namespace {

constexpr std::size_t kHeaderBytes = 6; // wLength, wValueLength, wType
constexpr std::uint16_t kTextType = 1;
constexpr std::string_view kRootKey = "VS_VERSION_INFO";
constexpr char32_t kReplacement = 0xFFFD;

struct Node
{
    std::size_t end = 0; // past its last byte
    std::string key;     // UTF-8
    std::size_t valueBegin = 0;
    std::size_t valueBytes = 0;
    bool text = false;
    std::size_t childrenBegin = 0;
};

std::size_t alignedTo4(std::size_t offset)
{
    return (offset + 3) & ~std::size_t{3};
}

std::nullopt_t failWith(int code)
{
    errno = code;
    return std::nullopt;
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    };
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// Reads the nodes of one block; every offset it is given lies within the block.
class Reader
{
public:
    explicit Reader(std::span<const std::byte> block) : m_block(block) {}

    std::uint16_t word(std::size_t at) const
    {
        return static_cast<std::uint16_t>(std::to_integer<unsigned>(m_block[at]) |
                                          std::to_integer<unsigned>(m_block[at + 1]) << 8);
    }

    // UTF-16 units [begin, end) as UTF-8; a lone surrogate becomes U+FFFD.
    std::string utf8(std::size_t begin, std::size_t end) const
    {
        std::string out;
        for (std::size_t at = begin; at < end; at += 2) {
            const char32_t unit = word(at);
            const bool high = unit >= 0xD800 && unit < 0xDC00;
            const char32_t next = at + 4 <= end ? word(at + 2) : 0;
            if (high && next >= 0xDC00 && next < 0xE000) {
                Utf8Writer::append(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                at += 2;
            } else {
                Utf8Writer::append(out, unit >= 0xD800 && unit < 0xE000 ? kReplacement : unit);
            }
        }
        return out;
    }

    // The node at begin, which must end by limit.
    std::optional<Node> node(std::size_t begin, std::size_t limit) const
    {
        if (limit - begin < kHeaderBytes)
            return std::nullopt;
        const std::size_t length = word(begin);
        if (length < kHeaderBytes || length > limit - begin)
            return std::nullopt;
        Node node;
        node.end = begin + length;
        const std::size_t keyBegin = begin + kHeaderBytes;
        std::size_t keyEnd = keyBegin;
        while (keyEnd + 2 <= node.end && word(keyEnd) != 0)
            keyEnd += 2;
        if (keyEnd + 2 > node.end)
            return std::nullopt;
        node.key = utf8(keyBegin, keyEnd);
        node.text = word(begin + 4) == kTextType;
        node.valueBytes = std::size_t{word(begin + 2)} * (node.text ? 2 : 1);
        node.valueBegin = std::min(alignedTo4(keyEnd + 2), node.end);
        if (node.valueBytes > node.end - node.valueBegin)
            return std::nullopt;
        node.childrenBegin = alignedTo4(node.valueBegin + node.valueBytes);
        return node;
    }

    // The first child of parent called key. A tail too short for a node is padding.
    std::optional<Node> child(const Node &parent, std::string_view key) const
    {
        for (std::size_t at = parent.childrenBegin;
             at < parent.end && parent.end - at >= kHeaderBytes;) {
            std::optional<Node> candidate = node(at, parent.end);
            if (!candidate)
                return failWith(EBADMSG);
            if (equalIgnoringAsciiCase(candidate->key, key))
                return candidate;
            at = alignedTo4(candidate->end);
        }
        return failWith(ENOKEY);
    }

    std::string value(const Node &node) const
    {
        const std::size_t end = node.valueBegin + node.valueBytes;
        if (node.text)
            return utf8(node.valueBegin, end);
        const auto *bytes = reinterpret_cast<const char *>(m_block.data());
        return std::string(bytes + node.valueBegin, bytes + end);
    }

private:
    std::span<const std::byte> m_block;
};

} // namespace

std::optional<std::string> VersionBlock::query(std::span<const std::byte> block,
                                               std::string_view subBlock)
{
    const Reader reader(block);
    std::optional<Node> node = reader.node(0, block.size());
    if (!node || !equalIgnoringAsciiCase(node->key, kRootKey))
        return failWith(EBADMSG);
    while (!subBlock.empty()) {
        const std::size_t separator = subBlock.find('\\');
        const std::string_view key = subBlock.substr(0, separator);
        subBlock = separator == std::string_view::npos ? std::string_view()
                                                       : subBlock.substr(separator + 1);
        if (key.empty())
            continue;
        node = reader.child(*node, key);
        if (!node)
            return std::nullopt;
    }
    return reader.value(*node);
}
