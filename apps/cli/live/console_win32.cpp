// The lister's standard streams on a Windows console: for the whole run, text goes to a console as
// wide characters; pipes and files keep the UTF-8 bytes.
#include <windows.h>

#include <iostream>
#include <streambuf>
#include <string_view>

#include "win32/win32_text.h"

namespace velmaro::cli {
namespace {

// The length of text without an incomplete UTF-8 sequence at its end.
std::size_t CompleteUtf8Length(std::string_view text) {
    for (std::size_t back = 1; back <= 4 && back <= text.size(); ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - back]);
        if ((byte & 0xC0) == 0x80) {
            continue;  // a continuation byte: look further back for its lead
        }
        const std::size_t needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return needed > back ? text.size() - back : text.size();
    }
    return text.size();
}

// Hands the lister's UTF-8 to a console as wide text, whole characters at a time. A console
// shows bytes in its code page, and the C runtime under Wine re-encodes them byte by byte, so
// neither a code page switch nor raw bytes would show umlauts right everywhere.
class ConsoleBuffer : public std::streambuf {
  public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) { setp(buffer_, buffer_ + sizeof(buffer_)); }

  protected:
    int_type overflow(int_type c) override {
        if (!Flush()) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return Flush() ? 0 : -1; }

  private:
    bool Flush() {
        const std::string_view pending(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        const std::size_t complete = CompleteUtf8Length(pending);
        const std::wstring wide = win32::Utf8ToWide(pending.substr(0, complete));
        DWORD written = 0;
        const bool ok = wide.empty() || WriteConsoleW(console_, wide.data(), static_cast<DWORD>(wide.size()), &written,
                                                      nullptr) != FALSE;
        const std::string rest(pending.substr(complete));
        setp(buffer_, buffer_ + sizeof(buffer_));
        for (const char c : rest) {
            *pptr() = c;
            pbump(1);
        }
        return ok;
    }

    HANDLE console_;
    char buffer_[4096];
};

// Puts a ConsoleBuffer under a standard stream while that stream is a console; output into a
// pipe or file stays UTF-8 bytes. The stream gets its own buffer back at the end of the run.
class ConsoleStream {
  public:
    ConsoleStream(std::ostream& stream, DWORD handle)
        : stream_(stream), console_(GetStdHandle(handle)), buffer_(console_) {
        DWORD mode = 0;
        if (console_ != nullptr && console_ != INVALID_HANDLE_VALUE && GetConsoleMode(console_, &mode)) {
            stream_.flush();
            previous_ = stream_.rdbuf(&buffer_);
        }
    }
    ~ConsoleStream() {
        if (previous_ != nullptr) {
            stream_.flush();
            stream_.rdbuf(previous_);
        }
    }
    ConsoleStream(const ConsoleStream&) = delete;
    ConsoleStream& operator=(const ConsoleStream&) = delete;

  private:
    std::ostream& stream_;
    HANDLE console_;
    ConsoleBuffer buffer_;
    std::streambuf* previous_ = nullptr;
};

const ConsoleStream consoleOut(std::cout, STD_OUTPUT_HANDLE);
const ConsoleStream consoleErr(std::cerr, STD_ERROR_HANDLE);

}  // namespace
}  // namespace velmaro::cli
