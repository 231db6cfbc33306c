// Reading and writing the settings file, and the test of a settings file's name.
#include "shell/settings_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <new>

#include "platform/cp932.h"

namespace rekna {

namespace {

[[nodiscard]] constexpr char LowerAscii(char c) noexcept {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

[[nodiscard]] bool StartsWithNoCase(std::string_view text, std::string_view prefix) noexcept {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (LowerAscii(text[i]) != LowerAscii(prefix[i])) return false;
    }
    return true;
}

[[nodiscard]] bool EndsWithNoCase(std::string_view text, std::string_view suffix) noexcept {
    return text.size() >= suffix.size() &&
           StartsWithNoCase(text.substr(text.size() - suffix.size()), suffix);
}

// A line end inside a key or value would split the entry into lines of their own, and an "="
// in a key would move the split: such characters never reach the file.
[[nodiscard]] bool IsWritableKey(std::string_view key) noexcept {
    return !key.empty() && key.find_first_of("=\r\n") == std::string_view::npos;
}

void AppendWithoutLineEnds(std::string& out, std::string_view value) {
    for (const char c : value) {
        if (c != '\r' && c != '\n') out += c;
    }
}

}  // namespace

const std::string& SettingsHeader() {
    static const std::string header = SysText(kSettingsHeaderUtf8);
    return header;
}

TFileResult ReadSettingsFile(const std::string& path, TMemorySettings& out,
                             TSettingsFormat* format) {
    // The size is looked at before reading, so that a huge file is never loaded at all.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {errno == ENOENT ? TFileStatus::fsNotFound : TFileStatus::fsReadError, errno};
    if (S_ISREG(st.st_mode) && st.st_size > static_cast<off_t>(kMaxSettingsFileBytes))
        return {TFileStatus::fsReadError, EFBIG};
    std::string bytes;
    const TFileResult read = ReadWholeFile(path, bytes);
    if (!read.Ok()) return read;
    // The file may have grown between the look and the reading.
    if (bytes.size() > kMaxSettingsFileBytes) return {TFileStatus::fsReadError, EFBIG};
    try {
        TDecodedDocument doc = DecodeDocument(std::move(bytes));
        TMemorySettings settings;
        settings.SetText(doc.Bytes);
        out = std::move(settings);
        if (format) *format = {doc.Encoding, doc.Bom, doc.LineEnd};
    } catch (const std::bad_alloc&) {
        return {TFileStatus::fsNoMemory, ENOMEM};
    }
    return {};
}

TFileResult WriteSettingsFile(const std::string& path, const TMemorySettings& s,
                              const TSettingsFormat& format) {
    if (!MakeParentFolders(path)) return {TFileStatus::fsWriteError, errno};
    std::string text;
    try {
        text = SettingsHeader() + "\r\n";
        for (const auto& [key, value] : s.Entries()) {
            if (!IsWritableKey(key)) continue;
            text += key;
            text += '=';
            AppendWithoutLineEnds(text, value);
            text += "\r\n";
        }
        text = EncodeKeepingAll(text, {format.Encoding, format.Bom, format.LineEnd});
    } catch (const std::bad_alloc&) {
        return {TFileStatus::fsNoMemory, ENOMEM};
    }
    return WriteFileReplacing(path, [&](const auto& sink) { sink(text); });
}

bool IsSettingsFileName(std::string_view path, std::string_view programName) {
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    constexpr std::string_view kExtension = ".ini";
    if (programName.empty() || !EndsWithNoCase(name, kExtension)) return false;
    return StartsWithNoCase(name.substr(0, name.size() - kExtension.size()), programName);
}

TMemorySettings MergeSettings(const TMemorySettings& mine, const TMemorySettings& asRead,
                              const TMemorySettings& disk) {
    TMemorySettings out;
    for (const auto& [key, value] : mine.Entries()) {
        const std::optional<std::string> before = asRead.Get(key);
        const std::optional<std::string> theirs = disk.Get(key);
        out.Set(key, before && *before == value && theirs ? *theirs : value);
    }
    return out;
}

}  // namespace rekna
