// TLineSource: the lines of a memo file or of standard input, read a piece at a time.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rekna {

// Reads lines through a buffer of a fixed size (it grows only for a line longer than itself), so
// a memo of any length is read in the same memory. The lines may be read again from the start:
// a file is read again, standard input that is not a file is copied to a temporary file as it is
// first read.
class TLineSource {
public:
    // A buffer of bufferSize bytes to begin with (at least 2).
    explicit TLineSource(std::size_t bufferSize = std::size_t{1} << 20)
        : FBuffer(bufferSize < 2 ? 2 : bufferSize) {}
    TLineSource(const TLineSource&) = delete;
    TLineSource& operator=(const TLineSource&) = delete;
    ~TLineSource();

    // file "-" or empty: standard input. False with a message when it cannot be opened.
    bool Open(const std::string& file, std::string& error);
    // The next line without its line end (CR LF, lone CR or lone LF); valid until the next call.
    // A text ending in a line end has no empty line after it. False at the end or on an error.
    bool Next(std::string_view& line);
    // Back to the first line; the rest of a first reading is read (and copied) first.
    bool Rewind();
    // All the bytes, from the start.
    bool ReadAll(std::string& bytes);
    [[nodiscard]] bool Failed() const noexcept { return FFailed; }

private:
    // Reads more behind what is kept; false at the end.
    bool Fill();

    int FFd = -1;
    bool FOwnFd = false;
    int FSpool = -1;  // the copy of a pipe, or -1
    bool FSpooling = false;
    bool FEof = false;
    bool FFailed = false;
    std::vector<char> FBuffer;
    std::size_t FBegin = 0;    // the next line starts here
    std::size_t FEnd = 0;      // bytes read up to here
    std::size_t FScanned = 0;  // no line end between FBegin and here
};

}  // namespace rekna
