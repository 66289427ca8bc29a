#pragma once
// An output written whole or not at all. Its bytes go to a hidden temporary
// file beside it (same folder, so that the last step is a rename), and the
// file is given its name only once it is complete. A reader of that name
// therefore finds nothing, the file that was there before, or the whole new
// file, never a part of one; two writers of one name never mix their bytes.

#include <string>

// What may happen to a file that already has the output's name.
enum class Replace {
    kNever,   // it stays; the rename refuses (with a fallback where the file system cannot refuse)
    kAlways,  // it is replaced in one step
};

class WholeFile {
public:
    // Creates the empty temporary file for `path` (".NAME.PID-N.part" in its
    // folder). Check ok() and error().
    WholeFile(std::string path, Replace replace);
    ~WholeFile();  // removes the temporary file unless it was kept
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;

    bool ok() const { return !temporary_.empty(); }
    const std::string& error() const { return error_; }
    const std::string& Path() const { return path_; }
    // Where the bytes are written until the file is complete.
    const std::string& TemporaryPath() const { return temporary_; }

    // The complete file takes its name. False, with the reason, when that
    // fails or, without kAlways, when a file has that name (one that
    // appeared meanwhile); with `elsewhere` the complete file is then kept under the
    // first free name of NAME.2.EXT, NAME.3.EXT... and *keptAs says which
    // (empty when it could not be kept, or was not).
    bool Keep(std::string* keptAs, std::string* error, bool elsewhere = true);
    // The file, complete as far as it goes, takes the name that says it is
    // partial (NAME.partial.EXT, or the first free NAME.partial.2.EXT...
    // unless replacing); *keptAs says which. False, with the reason, when
    // no name can be given to it.
    bool KeepPartial(std::string* keptAs, std::string* error);
    // The temporary file goes; nothing is left under any name.
    void Discard();

private:
    bool KeepUnderFreeName(const std::string& stem, const std::string& extension, int firstNumber,
                           std::string* keptAs, std::string* error);

    std::string path_;
    Replace replace_;
    std::string temporary_;
    std::string error_;
};

// Renames `from` to `to` unless `to` exists, in one step. Where the file
// system cannot refuse within a rename, a hard link that refuses an existing
// name and the removal of `from` do it instead. False with the reason (EEXIST
// when `to` exists: errno is left so).
bool RenameWithoutReplacing(const std::string& from, const std::string& to, std::string* error);
// The fallback alone: link `to` to `from`'s file, which fails when `to`
// exists, then remove `from`.
bool LinkThenUnlink(const std::string& from, const std::string& to, std::string* error);

// "show.partial.mp4" for "show.mp4"; "NAME.partial" without an extension.
std::string PartialName(const std::string& path);
