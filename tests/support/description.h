// Setup descriptions of the tests' making: built item by item, written as
// real files in the ANSI code page, as on a medium.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "setup/catalogue.h"
#include "support/testutil.h"

// The catalogue before each load: every byte 0xA5, so that a text left
// unterminated or a write where none belongs shows.
constexpr unsigned char kPoison = 0xA5;

inline void PoisonCatalogue() {
    memset(&SetupInfo, kPoison, sizeof SetupInfo);
    CopyText(SetupInfo.WindowsDir, "C:\\WINDOWS");
}

inline bool IsPoison(const void* p, size_t n) {
    const unsigned char* b = static_cast<const unsigned char*>(p);
    for (size_t i = 0; i < n; ++i)
        if (b[i] != kPoison) return false;
    return true;
}

// Lines end in CR LF, as on the medium.
inline std::string Dos(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// One item as its "... Files" section gives it: pieces and face names
// numbered and counted in the order they are added, other keys as given.
// Its keys go under keyName when that differs from the name listed (the
// name as the program cuts it).
class Item {
public:
    explicit Item(const std::string& name, const std::string& keyName = "")
        : name_(name), key_(keyName.empty() ? name : keyName) {}
    Item& Piece(const std::string& file, const std::string& disk) {
        const std::string n = std::to_string(++pieces_);
        return Key("File" + n, file).Key("Disk" + n, disk);
    }
    Item& Face(const std::string& face) { return Key("AFontName" + std::to_string(++faces_), face); }
    Item& Key(const std::string& key, const std::string& value) {
        lines_ += key_ + " " + key + "=" + value + "\n";
        return *this;
    }
    Item& Key(const std::string& key, long long value) { return Key(key, std::to_string(value)); }
    const std::string& Name() const { return name_; }
    std::string Lines() const {
        std::string counts;
        if (pieces_) counts += key_ + " Files=" + std::to_string(pieces_) + "\n";
        if (faces_) counts += key_ + " AFiles=" + std::to_string(faces_) + "\n";
        return counts + lines_;
    }

private:
    std::string name_, key_, lines_;
    int pieces_ = 0, faces_ = 0;
};

enum class Kind { Misc, Fonts, Tables };

// The two sections of one kind: the list of items, then their keys.
inline std::string Section(Kind kind, const std::vector<Item>& items) {
    static const char* const names[][4] = {{"Misc", "Items", "Item", "Misc Files"},
                                           {"Fonts", "Fonts", "Font", "Font Files"},
                                           {"Tbls", "Tbls", "Tbl", "Tbls Files"}};
    const char* const* n = names[static_cast<int>(kind)];
    std::string list = std::string("[") + n[0] + "]\n" + n[1] + "=" + std::to_string(items.size()) + "\n";
    std::string keys = std::string("[") + n[3] + "]\n";
    for (size_t i = 0; i < items.size(); ++i) {
        list += n[2] + std::to_string(i + 1) + "=" + items[i].Name() + "\n";
        keys += items[i].Lines();
    }
    return list + keys;
}

// The example medium: one viewer, two fonts over two disks, one table.
struct Example {
    Example() {
        const std::string base = "Sample Base (TrueType)";
        Item viewer("Viewer"), kai("Sample Kai"), song("Sample Song"), phonetic("Phonetic");
        viewer.Piece("VIEWER.EXE", "Disk 1").Key("DstDir", "C:\\FONTKIT").Key("Compressed", 1);
        viewer.Key("Group", "Font Kit");
        kai.Key("Size", 960).Key("FontName", base).Face("Sample Base").Face("Sample Base Bold");
        kai.Piece("SKAI.TTE", "Disk 1").Piece("SKAI.P2", "Disk 2");
        song.Key("Size", 870).Key("FontName", base).Face("Sample Song Face").Piece("SSONG.TTE", "Disk 2");
        phonetic.Piece("PHONETIC.TBL", "Disk 2").Key("Compressed", 1);
        phonetic.Key("UserKey", "Software\\FontKit\\Phonetic").Key("Mode", "1F");
        misc = {viewer};
        fonts = {kai, song};
        tables = {phonetic};
    }
    std::string Text() const {
        return Section(Kind::Misc, misc) + Section(Kind::Fonts, fonts) + Section(Kind::Tables, tables);
    }
    std::vector<Item> misc, fonts, tables;
};
inline std::string WorkedExample() { return Example().Text(); }

// Writes each description under a name of its own: the profile reader
// caches recently read files by name. Dated back, as on a medium, so that
// the reader parses each once.
class DescriptionFiles {
public:
    // utf8 is converted to the ANSI code page; raw bytes go as they are.
    std::string Write(const std::string& utf8) { return WriteRaw(Ansi(Dos(utf8).c_str())); }
    std::string WriteRaw(const std::string& bytes) {
        return WriteBytes(dir_.Join("d" + std::to_string(++count_) + ".ini"), bytes, true);
    }
    const TempDir& Dir() const { return dir_; }

private:
    TempDir dir_;
    int count_ = 0;
};
