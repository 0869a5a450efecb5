// The storage format and object model: byte layouts, unknown fields, failures
// and the load/save policies of the file object.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/text.h"
#include "support/fake_system.h"
#include "support/ybfs_bytes.h"
#include "platform/filestream.h"
#include "ybfs/ybfs2.h"

using namespace YBFS;
using platform::FileExists;
using platform::SetReadAllocationFaultForTesting;
using platform::SetWriteFaultForTesting;
using platform::TemporaryFileFor;
typedef std::vector<uint8_t> Bytes;

namespace {

Bytes B(std::initializer_list<int> v) {
    Bytes b;
    for (int x : v)
        b.push_back((uint8_t)x);
    return b;
}

// An object with a child, as the launcher's classes nest.
struct Inner : TYBObject {
    bool Flag = false;
    int Number = 0;
    void Reset(bool) override {
        Flag = false;
        Number = 0;
    }
    void ReadMembers() override {
        Read(8, Flag);
        Read(9, Number);
    }
    void WriteMembers() override {
        Write(8, Flag);
        if (Number) Write(9, Number);
    }
};

struct Sample : TYBFileObject {
    using TYBFileObject::Unknown;
    short S = 0;
    std::string Text = "default";
    Inner Child;
    bool HasChild = true;
    void Reset(bool) override {
        S = 0;
        Text = "default";
    }
    void ReadMembers() override {
        Read(0, S);
        Read(8, Text);
        ReadObject(12, Child);
    }
    void WriteMembers() override {
        Write(0, S);
        Write(8, Text);
        if (HasChild) WriteObject(12, Child);
    }
};

std::string ReadError(const Bytes& b) {
    Sample o;
    try {
        Parse(o, b);
    } catch (const EReadError& e) {
        return e.Message();
    }
    return "no error";
}

// Reads any field set generically: one typed read in a caller-supplied lambda.
template <class F> struct Probe : TYBObject {
    F f;
    explicit Probe(F fn) : f(fn) {}
    void ReadMembers() override { f(*this); }
};
template <class F> std::string TypeErrorOf(const Bytes& b, F f) {
    Probe<F> p(f);
    try {
        Parse(p, b);
    } catch (const EReadTypeError& e) {
        return e.Message();
    }
    return "no error";
}

const Bytes kExample = B({0x00, 0x00, 0x02, 0x00, 0x05, 0x00, 0x08, 0x00, 0x04, 0x00, 0x61, 0x62, 0x63, 0x00,
                          0x0C, 0x00, 0xFF, 0xFF, 0x08, 0x00, 0x01, 0x00, 0x01, 0xFF, 0xFF, 0xFF, 0xFF});

struct TempDir {
    std::string path;
    TempDir() {
        char tmpl[] = "/tmp/kiropad-ybfs-XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~TempDir() { std::system(("rm -rf '" + path + "'").c_str()); }
    std::string File(const std::string& name) const { return path + "/" + name; }
};

Bytes ReadFile(const std::string& name) {
    std::ifstream f(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& name, const Bytes& b) {
    std::ofstream f(name, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(b.data()), (std::streamsize)b.size());
}

// Installs a fake system whose boxes are recorded and answered from answers
// (Cancel once they run out); System.OnBox takes over the answers where a test
// acts while the box is up.
struct ScriptedBox {
    TFakeSystem System;
    std::vector<int> answers;
    std::vector<std::string> texts, captions;
    std::vector<unsigned> flags;
    ScriptedBox() {
        System.OnBox = [this](const std::string& t, const std::string& c, unsigned f) {
            texts.push_back(t);
            captions.push_back(c);
            flags.push_back(f);
            if (answers.empty()) return platform::idCancel;
            int a = answers.front();
            answers.erase(answers.begin());
            return a;
        };
    }
};

} // namespace

TEST(YbfsFormat, WritesTheDocumentedExampleByteForByte) {
    Sample o;
    o.S = 5;
    o.Text = "abc";
    o.Child.Flag = true;
    EXPECT_EQ(Serialise(o), kExample);
}

TEST(YbfsFormat, ReadsTheExampleBack) {
    Sample o;
    Parse(o, kExample);
    EXPECT_EQ(o.S, 5);
    EXPECT_EQ(o.Text, "abc");
    EXPECT_TRUE(o.Child.Flag);
    EXPECT_EQ(o.UnknownFields(), nullptr);
    EXPECT_EQ(Serialise(o), kExample);
}

TEST(YbfsFormat, TruncatedInputsFailWithTheMessageOfTheMissingPart) {
    EXPECT_EQ(ReadError({}), "YBFS2 ID読み込みエラー");
    EXPECT_EQ(ReadError(B({0x00})), "YBFS2 ID読み込みエラー");
    EXPECT_EQ(ReadError(B({0x00, 0x00, 0x02})), "YBFS2 サイズ読み込みエラー");
    EXPECT_EQ(ReadError(B({0x00, 0x00, 0x02, 0x00, 0x05})), "YBFS2 データ読み込みエラー");
    // A root that ends right after a complete field lacks its end marker.
    EXPECT_EQ(ReadError(B({0x00, 0x00, 0x02, 0x00, 0x05, 0x00})), "YBFS2 ID読み込みエラー");
    // A nested body that is never closed.
    EXPECT_EQ(ReadError(B({0x0C, 0x00, 0xFF, 0xFF, 0x08, 0x00, 0x01, 0x00, 0x01})), "YBFS2 ID読み込みエラー");
    // A huge size word on a short file fails without allocating it.
    EXPECT_EQ(ReadError(B({0x01, 0x00, 0xFE, 0xFF, 0x41})), "YBFS2 データ読み込みエラー");
}

TEST(YbfsFormat, EmptyRootKeepsDefaultsAndTrailingBytesAreIgnored) {
    Sample o;
    o.S = 7;
    Parse(o, B({0xFF, 0xFF}));
    EXPECT_EQ(o.S, 0); // Reset(true) ran
    EXPECT_EQ(o.Text, "default");
    Bytes withTail = kExample;
    withTail.push_back(0x12);
    withTail.push_back(0x34);
    Parse(o, withTail);
    EXPECT_EQ(Serialise(o), kExample);
}

TEST(YbfsFormat, RefusesNestingDeeperThanTheBound) {
    auto nested = [](int depth) {
        Bytes b;
        for (int i = 0; i < depth; ++i) {
            b.push_back(0x63);
            b.push_back(0x00);
            b.push_back(0xFF);
            b.push_back(0xFF);
        }
        for (int i = 0; i <= depth; ++i) {
            b.push_back(0xFF);
            b.push_back(0xFF);
        }
        return b;
    };
    EXPECT_EQ(ReadError(nested(kMaxNesting)), "no error");
    EXPECT_EQ(ReadError(nested(kMaxNesting + 1)), kNestingError);
    EXPECT_EQ(ReadError(nested(100000)), kNestingError);
}

TEST(YbfsTypes, StoredSizesAndEncodings) {
    struct All : TYBObject {
        void WriteMembers() override {
            Write(1, (int)-2);
            Write(2, (char)'A');
            Write(3, (signed char)-1);
            Write(4, (short)-3);
            Write(5, (long)-4);
            Write(6, (unsigned)0x01020304u);
            Write(7, (unsigned char)0xFE);
            Write(8, (unsigned short)0xABCD);
            Write(9, (unsigned long)0xFFFFFFFFul);
            Write(10, 1.5f);
            Write(11, 2.25);
            Write(12, (long double)-3.0L);
            Write(13, true);
            Write(14, std::string());
        }
    } all;
    Bytes b = Serialise(all);
    Bytes expected =
        B({1,    0,    4,    0,    0xFE, 0xFF, 0xFF, 0xFF, 2,    0,  1,    0,    0x41, 3,    0,    1, 0, 0xFF,
           4,    0,    2,    0,    0xFD, 0xFF, 5,    0,    4,    0,  0xFC, 0xFF, 0xFF, 0xFF, 6,    0, 4, 0,
           4,    3,    2,    1,    7,    0,    1,    0,    0xFE, 8,  0,    2,    0,    0xCD, 0xAB, 9, 0, 4,
           0,    0xFF, 0xFF, 0xFF, 0xFF, 10,   0,    4,    0,    0,  0,    0xC0, 0x3F, 11,   0,    8, 0, 0,
           0,    0,    0,    0,    0,    2,    0x40, 12,   0,    10, 0,    0,    0,    0,    0,    0, 0, 0,
           0xC0, 0x00, 0xC0, 13,   0,    1,    0,    1,    14,   0,  1,    0,    0,    0xFF, 0xFF});
    EXPECT_EQ(b, expected);

    struct Reader : TYBObject {
        int i = 0;
        char c = 0;
        signed char sc = 0;
        short s = 0;
        long l = 0;
        unsigned u = 0;
        unsigned char uc = 0;
        unsigned short us = 0;
        unsigned long ul = 0;
        float f = 0;
        double d = 0;
        long double ld = 0;
        bool bo = false;
        std::string t = "x";
        void ReadMembers() override {
            Read(1, i);
            Read(2, c);
            Read(3, sc);
            Read(4, s);
            Read(5, l);
            Read(6, u);
            Read(7, uc);
            Read(8, us);
            Read(9, ul);
            Read(10, f);
            Read(11, d);
            Read(12, ld);
            Read(13, bo);
            Read(14, t);
        }
    } r;
    Parse(r, b);
    EXPECT_EQ(r.i, -2);
    EXPECT_EQ(r.c, 'A');
    EXPECT_EQ(r.sc, -1);
    EXPECT_EQ(r.s, -3);
    EXPECT_EQ(r.l, -4);
    EXPECT_EQ(r.u, 0x01020304u);
    EXPECT_EQ(r.uc, 0xFE);
    EXPECT_EQ(r.us, 0xABCD);
    EXPECT_EQ(r.ul, 0xFFFFFFFFul);
    EXPECT_EQ(r.f, 1.5f);
    EXPECT_EQ(r.d, 2.25);
    EXPECT_EQ(r.ld, -3.0L);
    EXPECT_TRUE(r.bo);
    EXPECT_EQ(r.t, "");
}

TEST(YbfsTypes, AnyNonzeroByteReadsAsTrueAndTextStopsAtTheFirstZero) {
    struct R : TYBObject {
        bool b = false;
        std::string t, u;
        void ReadMembers() override {
            Read(1, b);
            Read(2, t);
            Read(3, u);
        }
    } r;
    Parse(r, B({1, 0, 1, 0, 0x7F, 2, 0, 4, 0, 'a', 0, 'b', 0, 3, 0, 2, 0, 'x', 'y', 0xFF, 0xFF}));
    EXPECT_TRUE(r.b);
    EXPECT_EQ(r.t, "a");
    EXPECT_EQ(r.u, "xy"); // no closing zero: the whole payload
}

TEST(YbfsTypes, MismatchedKindOrSizeIsATypeError) {
    const std::string kMsg = "変数の形式が一致しません。";
    // size 0 reads as an empty text but not as an int
    std::string t = "x";
    EXPECT_EQ(TypeErrorOf(B({1, 0, 0, 0, 0xFF, 0xFF}), [&](TYBObject& o) { o.Read(1, t); }), "no error");
    EXPECT_EQ(t, "");
    int i = 0;
    EXPECT_EQ(TypeErrorOf(B({1, 0, 0, 0, 0xFF, 0xFF}), [&](TYBObject& o) { o.Read(1, i); }), kMsg);
    EXPECT_EQ(TypeErrorOf(B({1, 0, 2, 0, 1, 2, 0xFF, 0xFF}), [&](TYBObject& o) { o.Read(1, i); }), kMsg);
    EXPECT_EQ(TypeErrorOf(B({1, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), [&](TYBObject& o) { o.Read(1, i); }),
              kMsg);
    EXPECT_EQ(TypeErrorOf(B({1, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), [&](TYBObject& o) { o.Read(1, t); }),
              kMsg);
    Inner in;
    in.Number = 9;
    EXPECT_EQ(TypeErrorOf(B({1, 0, 1, 0, 1, 0xFF, 0xFF}), [&](TYBObject& o) { o.ReadObject(1, in); }), kMsg);
    EXPECT_EQ(in.Number, 0); // cleared before the kind was checked
}

TEST(YbfsObject, AbsentIdsLeaveValuesAloneAndRepeatedIdsReadInOrder) {
    struct R : TYBObject {
        int a = 11, b = 22, c = 33;
        Inner in;
        bool gotIn = true;
        void ReadMembers() override {
            Read(1, a);
            Read(1, b);
            Read(1, c); // third read of id 1: absent
            in.Number = 5;
            gotIn = ReadObject(40, in);
        }
    } r;
    Parse(r, B({1, 0, 4, 0, 1, 0, 0, 0, 1, 0, 4, 0, 2, 0, 0, 0, 0xFF, 0xFF}));
    EXPECT_EQ(r.a, 1);
    EXPECT_EQ(r.b, 2);
    EXPECT_EQ(r.c, 33);
    EXPECT_FALSE(r.gotIn);
    EXPECT_EQ(r.in.Number, 5); // not even reset
}

TEST(YbfsObject, SecondOccurrenceOfAnIdIsKeptAsUnknownAndWrittenAfterOwnFields) {
    Sample o;
    Bytes in = B({0x00, 0x00, 0x02, 0x00, 0x05, 0x00, 0x00, 0x00, 0x02, 0x00, 0x06, 0x00, 0xFF, 0xFF});
    Parse(o, in);
    EXPECT_EQ(o.S, 5);
    o.HasChild = false;
    EXPECT_EQ(Serialise(o),
              B({0x00, 0x00, 0x02, 0x00, 0x05, 0x00, 0x08, 0x00, 0x08, 0x00, 'd',  'e',  'f',
                 'a',  'u',  'l',  't',  0x00, 0x00, 0x00, 0x02, 0x00, 0x06, 0x00, 0xFF, 0xFF}));
}

TEST(YbfsObject, UnknownFieldsSurviveAtEveryDepthAndMoveBehindKnownOnes) {
    // root: 7 (unknown value), 12 {8 true, 77 {5 "z"} unknown object}, 0 short 3, 99 unknown object
    Bytes in =
        B({7,    0,    1,    0,    0x42,                                 // unknown before known fields
           12,   0,    0xFF, 0xFF, 8,    0,    1, 0, 1,                  // child with a known field
           77,   0,    0xFF, 0xFF, 5,    0,    2, 0, 'z', 0, 0xFF, 0xFF, // and an unknown nested object
           0xFF, 0xFF,                                                   //
           0,    0,    2,    0,    3,    0,                              //
           99,   0,    0xFF, 0xFF, 0xFF, 0xFF,                           // empty unknown object
           0xFF, 0xFF});
    Sample o;
    Parse(o, in);
    EXPECT_EQ(o.S, 3);
    EXPECT_TRUE(o.Child.Flag);
    Bytes out = Serialise(o);
    Bytes expected =
        B({0,    0,    2,    0,    3,    0,                                      // own: 0
           8,    0,    8,    0,    'd',  'e', 'f', 'a',  'u',  'l',  't',  0,    // own: 8 (default text)
           12,   0,    0xFF, 0xFF, 8,    0,   1,   0,    1,                      // own: 12 with its own field
           77,   0,    0xFF, 0xFF, 5,    0,   2,   0,    'z',  0,    0xFF, 0xFF, // then its unknown
           0xFF, 0xFF,                                                           //
           7,    0,    1,    0,    0x42, 99,  0,   0xFF, 0xFF, 0xFF, 0xFF, // root's unknowns in read order
           0xFF, 0xFF});
    EXPECT_EQ(out, expected);
    // The copy carries the same unknown fields.
    Sample copy;
    static_cast<TYBObject&>(copy) = o;
    copy.S = o.S;
    copy.Text = o.Text;
    copy.Child = o.Child;
    copy.Child.Flag = o.Child.Flag;
    EXPECT_EQ(Serialise(copy), expected);
    // And a second load-save round trip is stable.
    Sample again;
    Parse(again, out);
    EXPECT_EQ(Serialise(again), expected);
}

TEST(YbfsObject, LongValuesAreCutAtTheLargestSizeWord) {
    struct W : TYBObject {
        std::string t;
        void WriteMembers() override { Write(3, t); }
    } w;
    w.t.assign(70000, 'q');
    Bytes b = Serialise(w);
    ASSERT_EQ(b.size(), 4u + 65534u + 2u);
    EXPECT_EQ(b[2], 0xFE);
    EXPECT_EQ(b[3], 0xFF);
    EXPECT_EQ(b[4 + 65533], 'q'); // the tail and the closing zero are lost
    w.t.assign(65533, 'r');       // the longest text that keeps its zero
    b = Serialise(w);
    EXPECT_EQ(b[4 + 65533], 0);
}

TEST(YbfsTemplates, FormatAssocExpandsKnownKeysOnly) {
    TFmAssociation t[2] = {{'m', "E"}, {'f', "F%m"}};
    EXPECT_EQ(FormatAssoc("a%%b%m%x%", t, 2), "a%bE%x%");
    EXPECT_EQ(FormatAssoc("%f", t, 2), "F%m"); // values are not scanned again
    EXPECT_EQ(FormatAssoc("%f", t, 1), "%f");  // only the first count entries
    TFmAssociation dup[2] = {{'m', "1"}, {'m', "2"}};
    EXPECT_EQ(FormatAssoc("%m", dup, 2), "1");
}

TEST(YbfsFile, MissingFileLoadsDefaultsSilentlyUnlessItMustExist) {
    TempDir d;
    ScriptedBox box;
    Sample o;
    o.ErrorMode = 2;
    o.S = 4;
    o.Load(d.File("none.gbi"));
    EXPECT_EQ(o.S, 0);
    EXPECT_TRUE(box.texts.empty());
    o.MustExist = true;
    o.RaiseOnError = false;
    o.Load();
    ASSERT_EQ(box.texts.size(), 1u);
    EXPECT_EQ(box.texts[0], "ファイルからの読み込み中にエラーが発生しました。\n\nファイル " +
                                d.File("none.gbi") + " は開けません\n\n再試行しますか？");
    EXPECT_EQ(box.captions[0], "エラー");
    EXPECT_EQ(box.flags[0], platform::mbIconError | platform::mbRetryCancel);
}

TEST(YbfsFile, ErrorModesAndRaisePolicy) {
    TempDir d;
    WriteFile(d.File("bad.gbi"), B({0x00}));
    ScriptedBox box;
    Sample o;
    o.FileName = d.File("bad.gbi");
    // Mode 0 with RaiseOnError: the caller gets the failure, nothing is shown.
    o.ErrorMode = 0;
    EXPECT_THROW(o.Load(), EReadError);
    EXPECT_TRUE(box.texts.empty());
    // Mode 0 without RaiseOnError: swallowed.
    o.RaiseOnError = false;
    EXPECT_NO_THROW(o.Load());
    // Mode 1: OK box with its own wording, and ClearOnError resets the object.
    o.ErrorMode = 1;
    o.ClearOnError = true;
    o.S = 9;
    o.Load();
    ASSERT_EQ(box.texts.size(), 1u);
    EXPECT_EQ(box.texts[0], "ファイルからの読み込み中にエラーが発生しました。\n\nYBFS2 ID読み込みエラー");
    EXPECT_EQ(box.flags[0], platform::mbIconError);
    EXPECT_EQ(o.S, 0);
    // Custom templates with %m and %f and a caption of the caller's.
    o.ReadErrorMessage = "[%f] %m %%";
    o.ErrorCaption = "Kiropad";
    o.Load();
    EXPECT_EQ(box.texts[1], "[" + d.File("bad.gbi") + "] YBFS2 ID読み込みエラー %");
    EXPECT_EQ(box.captions[1], "Kiropad");
}

TEST(YbfsFile, RetryRereadsFromTheStartAndARepairedFileLoads) {
    TempDir d;
    std::string name = d.File("data.gbi");
    WriteFile(name, B({0x00, 0x00, 0x02}));
    ScriptedBox box;
    Sample o;
    o.ErrorMode = 2;
    o.FileName = name;
    int calls = 0;
    box.System.OnBox = [&](const std::string&, const std::string&, unsigned) {
        if (++calls == 1) WriteFile(name, kExample); // repaired while the box is up
        return platform::idRetry;
    };
    o.Load();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(o.S, 5);
    EXPECT_EQ(o.Text, "abc");
}

TEST(YbfsFile, RunningOutOfMemoryOrATooLargeFileIsAReadFailureOfTheLoadBox) {
    TempDir d;
    std::string name = d.File("data.gbi");
    WriteFile(name, kExample);
    Sample o;
    o.ErrorMode = 2;
    o.RaiseOnError = false;
    o.ClearOnError = true;
    o.FileName = name;
    {
        // Memory runs out while the file is read: Retry reads it again, and it loads.
        ScriptedBox box;
        box.answers = {platform::idRetry};
        SetReadAllocationFaultForTesting(true);
        box.System.OnBox = [&](const std::string& t, const std::string&, unsigned) {
            box.texts.push_back(t);
            SetReadAllocationFaultForTesting(false);
            return platform::idRetry;
        };
        EXPECT_NO_THROW(o.Load());
        SetReadAllocationFaultForTesting(false);
        ASSERT_EQ(box.texts.size(), 1u);
        EXPECT_EQ(box.texts[0],
                  "ファイルからの読み込み中にエラーが発生しました。\n\nメモリが足りないため読み込め"
                  "ません\n\n再試行しますか？");
        EXPECT_EQ(o.S, 5);
    }
    {
        // Cancel gives the object up as for any damaged file; raised, it is the program's own error.
        ScriptedBox box;
        SetReadAllocationFaultForTesting(true);
        o.RaiseOnError = true;
        EXPECT_THROW(o.Load(), EReadError);
        SetReadAllocationFaultForTesting(false);
        EXPECT_EQ(box.texts.size(), 1u);
        EXPECT_EQ(o.S, 0) << "cleared";
        o.RaiseOnError = false;
    }
    {
        // A file beyond the bound is refused before its memory is taken, and says why.
        ScriptedBox box;
        o.MaxFileBytes = kExample.size() - 1;
        o.Load();
        ASSERT_EQ(box.texts.size(), 1u);
        EXPECT_NE(box.texts[0].find("ファイル " + name + " は大きすぎて読み込めません"), std::string::npos)
            << platform::Cp932ToUtf8(box.texts[0]);
        o.MaxFileBytes = kExample.size();
        o.Load();
        EXPECT_EQ(o.S, 5);
    }
}

TEST(YbfsFile, SaveWritesTheBodyAndKeepsThePreviousFileOnFailure) {
    TempDir d;
    std::string name = d.File("data.gbi");
    Sample o;
    o.S = 5;
    o.Text = "abc";
    o.Child.Flag = true;
    o.Save(name);
    EXPECT_EQ(ReadFile(name), kExample);
    EXPECT_FALSE(FileExists(TemporaryFileFor(name)));

    // A short write at every position: the old file stays whole, no temporary is left,
    // the save box is shown, and Retry succeeds once the fault is gone.
    o.S = 6;
    o.ErrorMode = 2;
    o.RaiseOnError = false;
    for (long long k = 0; k < (long long)kExample.size(); ++k) {
        ScriptedBox box;
        box.answers = {platform::idCancel};
        SetWriteFaultForTesting(k);
        o.Save();
        SetWriteFaultForTesting(-1);
        ASSERT_EQ(box.texts.size(), 1u) << k;
        EXPECT_EQ(box.texts[0], "ファイルへの書き込み中にエラーが発生しました。\n\nファイル " + name +
                                    " に書き込めません\n\n再試行しますか？");
        EXPECT_EQ(ReadFile(name), kExample) << k;
        EXPECT_FALSE(FileExists(TemporaryFileFor(name))) << k;
    }
    ScriptedBox box;
    SetWriteFaultForTesting(3);
    box.System.OnBox = [&](const std::string&, const std::string&, unsigned) {
        SetWriteFaultForTesting(-1);
        return platform::idRetry;
    };
    o.Save();
    Bytes expected = kExample;
    expected[4] = 6;
    EXPECT_EQ(ReadFile(name), expected);
}

TEST(YbfsFile, SaveIntoAMissingFolderReportsCreateFailure) {
    ScriptedBox box;
    Sample o;
    o.ErrorMode = 1;
    o.RaiseOnError = false;
    o.Save("/nonexistent-kiropad-dir/x.gbi");
    ASSERT_EQ(box.texts.size(), 1u);
    EXPECT_EQ(box.texts[0],
              "ファイルに書き込み中にエラーが発生しました。\n\nファイル /nonexistent-kiropad-dir/x.gbi "
              "を作成できません");
}

// ---- Reading over shared bytes: nested objects are checked at once and parsed on
// first use. Every outcome must match the read that parses everything at once.

namespace {

std::string SharedReadError(const Bytes& b) {
    Sample o;
    try {
        o.ReadFrom(std::make_shared<const Bytes>(b));
    } catch (const EReadError& e) {
        return e.Message();
    }
    return "no error";
}

Bytes Deep(int depth, bool closed) {
    Bytes b;
    for (int i = 0; i < depth; ++i)
        b.insert(b.end(), {0x63, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0x01, 0x00, 0x07});
    if (closed)
        for (int i = 0; i <= depth; ++i)
            b.insert(b.end(), {0xFF, 0xFF});
    return b;
}

} // namespace

TEST(YbfsShared, FailsWhereAndAsTheWholeParseFails) {
    std::vector<Bytes> inputs = {
        {},
        B({0x00}),
        B({0x00, 0x00, 0x02}),
        B({0x00, 0x00, 0x02, 0x00, 0x05}),
        kExample,
        B({0x0C, 0x00, 0xFF, 0xFF, 0x08, 0x00, 0x01, 0x00, 0x01}),             // nested body never closed
        B({0x0C, 0x00, 0xFF, 0xFF, 0x08, 0x00, 0x01}),                         // nested size cut
        B({0x0C, 0x00, 0xFF, 0xFF, 0x08, 0x00, 0x05, 0x00, 0x01, 0xFF, 0xFF}), // nested payload cut
        B({0x0C, 0x00, 0xFF, 0xFF, 0x08, 0x00, 0x02, 0x00, 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}), // wrong size
        B({0x0C, 0x00, 0x01, 0x00, 0x01, 0xFF, 0xFF}), // object expected
        Deep(kMaxNesting, true),
        Deep(kMaxNesting + 1, true),
        Deep(kMaxNesting, false),
        Deep(3, false)};
    for (size_t i = 0; i < inputs.size(); ++i) {
        std::string type = "no error", shared = "no error";
        try {
            Sample o;
            Parse(o, inputs[i]);
        } catch (const EReadError& e) {
            type = e.Message();
        }
        try {
            Sample o;
            o.ReadFrom(std::make_shared<const Bytes>(inputs[i]));
        } catch (const EReadError& e) {
            shared = e.Message();
        }
        EXPECT_EQ(shared, type) << "input " << i;
    }
    EXPECT_EQ(SharedReadError(Deep(kMaxNesting + 1, true)), kNestingError);
}

TEST(YbfsShared, UnreadObjectsAreWrittenAsReadAndParsedWhenAsked) {
    // root: 0 short 3, 12 {8 true, 77 {5 "z"}}, 99 {1 {2 "deep"}} never read by Sample
    Bytes inner = B({8, 0, 1, 0, 1, 77, 0, 0xFF, 0xFF, 5, 0, 2, 0, 'z', 0, 0xFF, 0xFF, 0xFF, 0xFF});
    Bytes unread = B({1, 0, 0xFF, 0xFF, 2, 0, 5, 0, 'd', 'e', 'e', 'p', 0, 0xFF, 0xFF, 0xFF, 0xFF});
    Bytes in = B({0, 0, 2, 0, 3, 0, 8, 0, 2, 0, 'x', 0, 12, 0, 0xFF, 0xFF});
    in.insert(in.end(), inner.begin(), inner.end());
    in.insert(in.end(), {99, 0, 0xFF, 0xFF});
    in.insert(in.end(), unread.begin(), unread.end());
    in.insert(in.end(), {0xFF, 0xFF});

    Sample shared;
    auto bytes = std::make_shared<const Bytes>(in);
    shared.ReadFrom(bytes);
    EXPECT_TRUE(shared.Child.Flag);
    ASSERT_TRUE(shared.Unknown);
    TYBData* kept = shared.Unknown->At(shared.Unknown->IndexOf(99));
    ASSERT_TRUE(kept->IsObject());
    EXPECT_TRUE(static_cast<TYBObjectData*>(kept)->IsStored()); // never parsed

    Sample eager;
    Parse(eager, in);
    EXPECT_EQ(Serialise(shared), Serialise(eager));
    EXPECT_EQ(Serialise(shared), in); // already in the order it writes

    // The bytes outlive the caller's reference; a copy shares them; asking parses.
    bytes.reset();
    Sample copy;
    static_cast<TYBObject&>(copy) = shared;
    copy.S = shared.S;
    copy.Text = shared.Text;
    copy.Child = shared.Child;
    shared.Unknown.reset();
    EXPECT_EQ(Serialise(copy), in);
    auto* node = static_cast<TYBObjectData*>(copy.Unknown->At(copy.Unknown->IndexOf(99)));
    ASSERT_EQ(node->Count(), 1u);
    EXPECT_FALSE(node->IsStored());
    auto* deep = static_cast<TYBObjectData*>(node->At(0));
    EXPECT_TRUE(deep->IsStored());
    ASSERT_EQ(deep->Count(), 1u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(static_cast<TYBVariableData*>(deep->At(0))->Data())),
              "deep");
    deep->Append(std::make_unique<TYBVariableData>(4, 0));
    Bytes changed = Serialise(copy);
    EXPECT_EQ(changed.size(), in.size() + 4);
}
