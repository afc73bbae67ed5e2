#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// VerQueryValue's look-up in a VS_VERSIONINFO block, Microsoft's published layout: nodes of
// a length, a value length, a type, a UTF-16 key and a value, each aligned to 4 bytes from
// the block's start, holding their children.
class VersionBlock
{
public:
    // The value at subBlock, a path of keys separated by "\": "\" is the fixed file
    // information, "\VarFileInfo\Translation" the language and code-page pairs,
    // "\StringFileInfo\<table>\<name>" a string. Keys match with ASCII letter case ignored, as
    // Windows matches them; empty path elements are skipped.
    // Binary values come back as their bytes. Text values come back as UTF-8, the program's
    // encoding, holding exactly the characters that the block counts for them: with the
    // terminating zero that resource compilers count in.
    // Nothing, with errno set, when the path is not there (ENOKEY) or when the nodes on the
    // way are malformed (EBADMSG): lengths past their parent or the block, keys without their
    // end, a root that is not VS_VERSION_INFO. Nothing outside the block is ever read.
    static std::optional<std::string> query(std::span<const std::byte> block,
                                            std::string_view subBlock);
};
