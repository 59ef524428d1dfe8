// Writes the seed corpora of the fuzz targets into DIR/<target>/.
#include <QString>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "model/Cp932.h"
#include "model/LabelSetFile.h"

using namespace sw::model;

namespace {

void Write(const std::filesystem::path& dir, const std::string& name, const std::string& data) {
    std::filesystem::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary) << data;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::filesystem::path root(argv[1]);

    // Label sets: the reset set, a populated one, and the first entry only (a cut file).
    auto set = std::make_unique<LabelSet>();
    Write(root / "fuzz_labelset", "reset.stw", WriteLabelSet(*set));
    set->Entries[1].Name = EncodeCp932(QString::fromUtf8("本社①")).bytes;
    set->Entries[1].ButtonModel = 0;
    set->Entries[1].Faces[1].Keys[1].Line1 = "ABC";
    set->Entries[1].Faces[1].Keys[1].FontStyle = 11;
    set->Entries[1].Faces[2].PictureFile = "/tmp/a.jpg";
    std::string full = WriteLabelSet(*set);
    Write(root / "fuzz_labelset", "populated.stw", full);
    size_t cut = 0;
    for (int line = 0; line < 1098; ++line) cut = full.find('\n', cut) + 1;
    Write(root / "fuzz_labelset", "first-entry.stw", full.substr(0, cut));

    // Settings files.
    Write(root / "fuzz_ini", "main.ini",
          "[Main]\r\nTop=10\r\nLeft=20\r\nCaption=Stripwise\x82\x51\r\n\r\n[Settei]\r\nSayu=-5\r\n"
          "Jyoge=15\r\n[Preview]\r\nHeight=600\r\nWidth=774\r\nCaption=x\r\n");
    Write(root / "fuzz_ini", "odd.ini", "; c\n[main]\nTOP = 1\n[Main]\nTop=2\nno equals\n[");

    // CP932 text.
    Write(root / "fuzz_cp932", "ext.txt", EncodeCp932(QString::fromUtf8("①㈱髙﨑～－ｱｲ\\~")).bytes);
    Write(root / "fuzz_cp932", "bad.txt", "\x81\xff\x80\xa0\xfd\x82");
    return 0;
}
