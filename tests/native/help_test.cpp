// The help: the compiled Kiropad.chm holds every topic the program opens, with the
// right default topic and language, and the pages behind it link only to pages
// that are compiled in, with a contents file whose names match the page titles.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/text.h"

namespace {

typedef std::vector<uint8_t> Bytes;

const char* const kTopics[] = {"_RESOURCE/040pagemenu.html", "_RESOURCE/060edit.html",
                               "_RESOURCE/080optionbasic.html", "_RESOURCE/090optionview.html"};
const char kDefaultTopic[] = "_RESOURCE/010main.html";
const char kContents[] = "kiropad.hhc";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Le32(const Bytes& b, size_t at) {
    if (at + 4 > b.size()) throw std::runtime_error("read past the end");
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}
uint64_t Le64(const Bytes& b, size_t at) {
    return Le32(b, at) | uint64_t(Le32(b, at + 4)) << 32;
}

// A compiled help file: its directory of named entries, and the uncompressed
// section 0 in which the system file lies.
struct TChm {
    struct TEntry {
        uint64_t section, offset, length;
    };
    std::map<std::string, TEntry> entries;
    Bytes bytes;
    uint64_t contentOffset = 0;

    explicit TChm(const std::string& path) {
        std::string s = ReadFile(path);
        bytes.assign(s.begin(), s.end());
        if (bytes.size() < 0x60 || s.compare(0, 4, "ITSF") != 0)
            throw std::runtime_error("not a compiled help file");
        const uint64_t dirOffset = Le64(bytes, 0x48), dirLength = Le64(bytes, 0x50);
        contentOffset = Le64(bytes, 0x58);
        if (dirOffset + dirLength > bytes.size() || s.compare(dirOffset, 4, "ITSP") != 0)
            throw std::runtime_error("no directory");
        const uint32_t headerLength = Le32(bytes, dirOffset + 8), chunkSize = Le32(bytes, dirOffset + 0x10);
        const uint32_t chunks = Le32(bytes, dirOffset + 0x2C);
        if (chunkSize < 0x14) throw std::runtime_error("bad chunk size");
        for (uint32_t c = 0; c < chunks; ++c) {
            const size_t chunk = dirOffset + headerLength + size_t(c) * chunkSize;
            if (chunk + chunkSize > bytes.size()) throw std::runtime_error("chunk past the end");
            if (s.compare(chunk, 4, "PMGL") != 0) continue; // an index chunk
            const size_t end = chunk + chunkSize - Le32(bytes, chunk + 4);
            size_t at = chunk + 0x14;
            while (at < end) {
                const uint64_t nameLength = EncInt(at, end);
                if (at + nameLength > end) throw std::runtime_error("name past the chunk");
                std::string name = s.substr(at, nameLength);
                at += nameLength;
                TEntry e;
                e.section = EncInt(at, end);
                e.offset = EncInt(at, end);
                e.length = EncInt(at, end);
                entries[name] = e;
            }
        }
    }

    // The numbers of the directory: seven bits a byte, most significant first.
    uint64_t EncInt(size_t& at, size_t end) const {
        uint64_t v = 0;
        for (;;) {
            if (at >= end) throw std::runtime_error("number past the chunk");
            uint8_t b = bytes[at++];
            v = v << 7 | (b & 0x7F);
            if (!(b & 0x80)) return v;
        }
    }

    // The records of "/#SYSTEM": code -> data.
    std::map<uint16_t, std::string> System() const {
        std::map<uint16_t, std::string> out;
        auto it = entries.find("/#SYSTEM");
        if (it == entries.end() || it->second.section != 0) return out;
        size_t at = contentOffset + it->second.offset + 4, end = at - 4 + it->second.length;
        if (end > bytes.size()) return out;
        while (at + 4 <= end) {
            uint16_t code = bytes[at] | bytes[at + 1] << 8, length = bytes[at + 2] | bytes[at + 3] << 8;
            at += 4;
            if (at + length > end) break;
            out[code] = std::string(bytes.begin() + at, bytes.begin() + at + length);
            at += length;
        }
        return out;
    }
};

std::string CString(const std::string& s) {
    return s.substr(0, s.find('\0'));
}

std::string HelpSource(const std::string& name) {
    return std::string(KIROPAD_HELP_SOURCE) + "/" + name;
}

// The [FILES] section of the project: what goes into the compiled file.
std::set<std::string> ProjectFiles() {
    std::set<std::string> files;
    std::ifstream in(HelpSource("kiropad.hhp"));
    std::string line;
    bool inFiles = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[')
            inFiles = line == "[FILES]";
        else if (inFiles && !line.empty())
            files.insert(line);
    }
    return files;
}

std::vector<std::string> Matches(const std::string& text, const std::regex& re) {
    std::vector<std::string> out;
    for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it)
        out.push_back((*it)[1]);
    return out;
}

} // namespace

TEST(HelpFile, HoldsEveryTopicThatTheProgramOpens) {
    TChm chm(KIROPAD_CHM);
    for (const char* topic : kTopics) {
        auto it = chm.entries.find(std::string("/") + topic);
        ASSERT_NE(it, chm.entries.end()) << topic;
        EXPECT_GT(it->second.length, 500u) << topic << " is nearly empty";
    }
    EXPECT_EQ(chm.entries.count(std::string("/") + kDefaultTopic), 1u);
    EXPECT_EQ(chm.entries.count(std::string("/") + kContents), 1u);
    EXPECT_EQ(chm.entries.count("/_RESOURCE/kiropad.css"), 1u);
}

TEST(HelpFile, OpensAtTheMainWindowTopicInJapanese) {
    TChm chm(KIROPAD_CHM);
    // The language decides the code page in which the viewer reads the contents.
    EXPECT_EQ(Le32(chm.bytes, 0x14), 0x411u);
    std::map<uint16_t, std::string> system = chm.System();
    ASSERT_FALSE(system.empty()) << "no system file";
    EXPECT_EQ(CString(system[2]), kDefaultTopic);
    EXPECT_EQ(CString(system[0]), kContents);
    ASSERT_GE(system[4].size(), 4u);
    EXPECT_EQ(Le32(Bytes(system[4].begin(), system[4].end()), 0), 0x411u);
}

TEST(HelpSources, EveryLinkReachesAPageThatIsCompiledIn) {
    const std::set<std::string> files = ProjectFiles();
    for (const char* topic : kTopics)
        EXPECT_EQ(files.count(topic), 1u) << topic;
    EXPECT_EQ(files.count(kDefaultTopic), 1u);
    const std::regex href("(?:href|src)=\"([^\"#]*)[\"#]");
    size_t links = 0;
    for (const std::string& file : files) {
        const std::string text = ReadFile(HelpSource(file));
        ASSERT_FALSE(text.empty()) << file << " is missing";
        if (file.size() < 5 || file.compare(file.size() - 5, 5, ".html") != 0) continue;
        const std::string folder = file.substr(0, file.rfind('/') + 1);
        for (const std::string& target : Matches(text, href)) {
            ++links;
            if (target.compare(0, 5, "http:") == 0 || target.empty()) continue;
            EXPECT_EQ(files.count(folder + target), 1u)
                << file << " links to " << target << ", not compiled in";
        }
        // The pages are UTF-8 and say so; the viewer would otherwise guess.
        EXPECT_NE(text.find("charset=utf-8"), std::string::npos) << file;
        std::string cp932;
        EXPECT_TRUE(platform::Utf8ToCp932(text, cp932))
            << file << " is not UTF-8 text a Japanese system can show";
    }
    EXPECT_GT(links, 20u);
}

TEST(HelpSources, ContentsNameEachPageByItsTitleInShiftJis) {
    const std::set<std::string> files = ProjectFiles();
    const std::string contents = ReadFile(HelpSource(kContents));
    ASSERT_FALSE(contents.empty());
    const std::regex entry(
        "<param name=\"Name\" value=\"([^\"]*)\">\\s*<param name=\"Local\" value=\"([^\"]*)\">");
    std::set<std::string> listed;
    for (std::sregex_iterator it(contents.begin(), contents.end(), entry), end; it != end; ++it) {
        const std::string name = (*it)[1], local = (*it)[2];
        listed.insert(local);
        ASSERT_EQ(files.count(local), 1u) << local << " is not compiled in";
        const std::string page = ReadFile(HelpSource(local));
        const std::vector<std::string> title = Matches(page, std::regex("<title>([^<]*)</title>"));
        ASSERT_EQ(title.size(), 1u) << local;
        EXPECT_EQ(platform::Cp932ToUtf8(name), title[0]) << local;
    }
    for (const std::string& file : files) {
        if (file.size() > 5 && file.compare(file.size() - 5, 5, ".html") == 0) {
            EXPECT_EQ(listed.count(file), 1u) << file << " is missing from the contents";
        }
    }
}
