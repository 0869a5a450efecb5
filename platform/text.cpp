#include "platform/text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <cerrno>
#include <cstring>
#include <vector>
#endif

namespace platform {

#ifdef _WIN32

static const UINT kCp932 = 932;

std::wstring UpperCaseLikeSystem(const std::wstring& text) {
    if (text.empty()) return text;
    // The invariant locale: the same mapping whatever language the user chose.
    int n = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.data(), (int)text.size(), nullptr, 0,
                          nullptr, nullptr, 0);
    if (n <= 0) return text;
    std::wstring out((size_t)n, L'\0');
    LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.data(), (int)text.size(), &out[0], n, nullptr,
                  nullptr, 0);
    return out;
}

std::wstring Widen(const std::string& cp932) {
    if (cp932.empty()) return std::wstring();
    int n = MultiByteToWideChar(kCp932, 0, cp932.data(), (int)cp932.size(), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(kCp932, 0, cp932.data(), (int)cp932.size(), &out[0], n);
    return out;
}

bool Narrow(const std::wstring& wide, std::string& out) {
    out.clear();
    if (wide.empty()) return true;
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data(), (int)wide.size(), nullptr, 0,
                                nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return false;
    std::string s(n, '\0');
    WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data(), (int)wide.size(), &s[0], n, nullptr,
                        &usedDefault);
    if (usedDefault) return false;
    // Round trip: a best-fit mapping that slipped through would not come back the same.
    if (Widen(s) != wide) return false;
    out.swap(s);
    return true;
}

std::string NarrowForDisplay(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    int n = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data(), (int)wide.size(), nullptr, 0,
                                nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data(), (int)wide.size(), &s[0], n, nullptr,
                        nullptr);
    return s;
}

std::string Cp932ToUtf8(const std::string& cp932) {
    std::wstring w = Widen(cp932);
    if (w.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), &s[0], n, nullptr, nullptr);
    return s;
}

bool Utf8ToCp932(const std::string& utf8, std::string& out) {
    out.clear();
    if (utf8.empty()) return true;
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), (int)utf8.size(), nullptr, 0);
    if (n <= 0) return false;
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &w[0], n);
    return Narrow(w, out);
}

#else

namespace {

// Conversion descriptors, opened once per direction and thread: opening one costs
// more than converting a path.
class TDescriptors {
public:
    ~TDescriptors() {
        for (int i = 0; i < count_; ++i)
            iconv_close(entries_[i].cd);
    }
    iconv_t Get(const char* to, const char* from) {
        for (int i = 0; i < count_; ++i)
            if (std::strcmp(entries_[i].to, to) == 0 && std::strcmp(entries_[i].from, from) == 0) {
                iconv(entries_[i].cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state
                return entries_[i].cd;
            }
        iconv_t cd = iconv_open(to, from);
        if (cd == (iconv_t)-1 || count_ == kMax) return cd;
        entries_[count_++] = {to, from, cd};
        return cd;
    }
    bool Owns(iconv_t cd) const {
        for (int i = 0; i < count_; ++i)
            if (entries_[i].cd == cd) return true;
        return false;
    }

private:
    static const int kMax = 8;
    struct Entry {
        const char* to;
        const char* from;
        iconv_t cd;
    } entries_[kMax];
    int count_ = 0;
};

// Converts with iconv; strict: any input that cannot be converted fails.
bool Convert(const char* to, const char* from, const char* in, size_t inBytes, std::string& out) {
    out.clear();
    if (inBytes == 0) return true;
    thread_local TDescriptors descriptors;
    iconv_t cd = descriptors.Get(to, from);
    if (cd == (iconv_t)-1) return false;
    std::vector<char> buf(inBytes * 4 + 16);
    char* src = const_cast<char*>(in);
    size_t srcLeft = inBytes;
    bool ok = true;
    while (srcLeft > 0) {
        char* dst = buf.data();
        size_t dstLeft = buf.size();
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf.data(), buf.size() - dstLeft);
        if (r == (size_t)-1 && errno != E2BIG) {
            ok = false;
            break;
        }
    }
    if (!descriptors.Owns(cd)) iconv_close(cd);
    if (!ok) out.clear();
    return ok;
}

} // namespace

std::wstring Widen(const std::string& cp932) {
    std::wstring out;
    out.reserve(cp932.size());
    for (size_t i = 0; i < cp932.size();) {
        // Convert character by character so that a stray byte cannot stop the rest.
        size_t len = 1;
        unsigned char c = (unsigned char)cp932[i];
        if (c < 0x80) { // code page 932 keeps ASCII as it is (0x5C included)
            out.push_back((wchar_t)c);
            ++i;
            continue;
        }
        if (IsLeadByte(c) && i + 1 < cp932.size()) len = 2;
        std::string bytes;
        if (Convert("WCHAR_T", "CP932", cp932.data() + i, len, bytes) && bytes.size() >= sizeof(wchar_t)) {
            out.append(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
        } else {
            out.push_back(len == 1 && c < 0x80 ? (wchar_t)c : (wchar_t)0xFFFD);
        }
        i += len;
    }
    return out;
}

bool Narrow(const std::wstring& wide, std::string& out) {
    return Convert("CP932", "WCHAR_T", reinterpret_cast<const char*>(wide.data()),
                   wide.size() * sizeof(wchar_t), out);
}

std::string NarrowForDisplay(const std::wstring& wide) {
    std::string out;
    for (wchar_t c : wide) {
        std::string one;
        if (Narrow(std::wstring(1, c), one))
            out += one;
        else
            out += '?';
    }
    return out;
}

std::string Cp932ToUtf8(const std::string& cp932) {
    std::wstring w = Widen(cp932);
    std::string out;
    Convert("UTF-8", "WCHAR_T", reinterpret_cast<const char*>(w.data()), w.size() * sizeof(wchar_t), out);
    return out;
}

bool Utf8ToCp932(const std::string& utf8, std::string& out) {
    return Convert("CP932", "UTF-8", utf8.data(), utf8.size(), out);
}

std::wstring UpperCaseLikeSystem(const std::wstring& text) {
    // The host's Unicode tables where they exist; the Latin letters otherwise.
    static locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", (locale_t)0);
    std::wstring out = text;
    for (wchar_t& c : out) {
        if (unicode)
            c = (wchar_t)towupper_l((wint_t)c, unicode);
        else if ((c >= L'a' && c <= L'z') || (c >= 0xFF41 && c <= 0xFF5A))
            c = (wchar_t)(c - 0x20); // a-z -> A-Z, and the same for the full-width ones
    }
    return out;
}

#endif

} // namespace platform
