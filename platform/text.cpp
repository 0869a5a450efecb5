#include "platform/text.h"

#include <cstdint>

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

static std::wstring WidenCodePage(const std::string& cp932) {
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
    if (WidenCodePage(s) != wide) return false;
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

static std::wstring WidenCodePage(const std::string& cp932) {
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

// ---- Program text: code page 932 with escapes --------------------------------

namespace {

const unsigned char kEscapeFirst = 0x85, kEscapeNext = 0x86;
const uint32_t kMaxCodePoint = 0x10FFFF;

bool IsEscapeTrail(unsigned char c) {
    return c >= 0x80 && c <= 0xBF;
}

// The code point of the escape at text[i] (EscapeAt said it is one).
uint32_t EscapedCodePoint(const std::string& text, size_t i) {
    uint32_t cp = 0;
    for (size_t u = 0; u < 4; ++u)
        cp = (cp << 6) | ((unsigned char)text[i + 2 * u + 1] & 0x3F);
    return cp;
}

void AppendEscape(uint32_t cp, std::string& out) {
    out += (char)kEscapeFirst;
    out += (char)(0x80 | (cp >> 18));
    for (int shift = 12; shift >= 0; shift -= 6) {
        out += (char)kEscapeNext;
        out += (char)(0x80 | ((cp >> shift) & 0x3F));
    }
}

void AppendCodeUnits(uint32_t cp, std::wstring& out) {
    if (sizeof(wchar_t) == 2 && cp > 0xFFFF) {
        cp -= 0x10000;
        out += (wchar_t)(0xD800 + (cp >> 10));
        out += (wchar_t)(0xDC00 + (cp & 0x3FF));
    } else {
        out += (wchar_t)cp;
    }
}

// The code point at wide[i] and the number of code units it takes.
uint32_t CodePointAt(const std::wstring& wide, size_t i, size_t& units) {
    uint32_t c = (uint32_t)wide[i];
    units = 1;
    if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size()) {
        uint32_t low = (uint32_t)wide[i + 1];
        if (low >= 0xDC00 && low <= 0xDFFF) {
            units = 2;
            return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return c;
}

// Calls f(code point) for every character of a program text, escapes decoded.
template <class F> void ForEachCodePoint(const std::string& text, F f) {
    std::wstring wide = Widen(text);
    for (size_t i = 0; i < wide.size();) {
        size_t units;
        f(CodePointAt(wide, i, units));
        i += units;
    }
}

} // namespace

size_t EscapeAt(const std::string& text, size_t i) {
    if (i + kEscapeBytes > text.size() || (unsigned char)text[i] != kEscapeFirst) return 0;
    if ((unsigned char)text[i + 1] < 0x80 || (unsigned char)text[i + 1] > 0x84) return 0;
    for (size_t u = 1; u < 4; ++u)
        if ((unsigned char)text[i + 2 * u] != kEscapeNext || !IsEscapeTrail((unsigned char)text[i + 2 * u + 1]))
            return 0;
    uint32_t cp = EscapedCodePoint(text, i);
    return cp >= 0x80 && cp <= kMaxCodePoint ? kEscapeBytes : 0;
}

bool HasEscapes(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (EscapeAt(text, i)) return true;
        if (IsLeadByte((unsigned char)text[i])) ++i;
    }
    return false;
}

std::wstring Widen(const std::string& text) {
    if (!HasEscapes(text)) return WidenCodePage(text);
    std::wstring out;
    size_t run = 0; // start of the code page run before the next escape
    for (size_t i = 0; i < text.size();) {
        if (EscapeAt(text, i)) {
            out += WidenCodePage(text.substr(run, i - run));
            AppendCodeUnits(EscapedCodePoint(text, i), out);
            i += kEscapeBytes;
            run = i;
        } else {
            i += IsLeadByte((unsigned char)text[i]) ? 2 : 1;
        }
    }
    if (run < text.size()) out += WidenCodePage(text.substr(run));
    return out;
}

std::string FromWide(const std::wstring& wide) {
    std::string out;
    if (Narrow(wide, out)) return out;
    for (size_t i = 0; i < wide.size();) {
        size_t units;
        uint32_t cp = CodePointAt(wide, i, units);
        std::string one;
        if (units == 1 && Narrow(wide.substr(i, 1), one))
            out += one;
        else
            AppendEscape(cp, out);
        i += units;
    }
    return out;
}

std::string CodePageRendering(const std::string& text) {
    if (!HasEscapes(text)) return text;
    std::string out;
    for (size_t i = 0; i < text.size();) {
        size_t n = EscapeAt(text, i) ? kEscapeBytes : IsLeadByte((unsigned char)text[i]) ? 2 : 1;
        if (n == kEscapeBytes)
            out += '?';
        else
            out.append(text, i, n);
        i += n;
    }
    return out;
}

std::string ToUtf8(const std::string& text) {
    std::string out;
    ForEachCodePoint(text, [&out](uint32_t cp) {
        if (cp < 0x80) {
            out += (char)cp;
        } else if (cp < 0x800) {
            out += (char)(0xC0 | (cp >> 6));
            out += (char)(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += (char)(0xE0 | (cp >> 12));
            out += (char)(0x80 | ((cp >> 6) & 0x3F));
            out += (char)(0x80 | (cp & 0x3F));
        } else {
            out += (char)(0xF0 | (cp >> 18));
            out += (char)(0x80 | ((cp >> 12) & 0x3F));
            out += (char)(0x80 | ((cp >> 6) & 0x3F));
            out += (char)(0x80 | (cp & 0x3F));
        }
    });
    return out;
}

bool FromUtf8(const std::string& utf8, std::string& out) {
    out.clear();
    std::wstring wide;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char c = (unsigned char)utf8[i];
        size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (n == 0 || i + n > utf8.size()) return false;
        uint32_t cp = n == 1 ? c : c & (0x7F >> n);
        for (size_t k = 1; k < n; ++k) {
            unsigned char t = (unsigned char)utf8[i + k];
            if ((t & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        static const uint32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kLeast[n] || cp > kMaxCodePoint) return false; // overlong or beyond Unicode
        AppendCodeUnits(cp, wide);
        i += n;
    }
    out = FromWide(wide);
    return true;
}

} // namespace platform
