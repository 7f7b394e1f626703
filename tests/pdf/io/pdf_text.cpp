#include "pdf_text.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>

#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"
#include "support/test_output.h"

namespace ZavorTest {

namespace {

std::string Entry(std::size_t position, int generation, char kind) {
    char line[32];
    std::snprintf(line, sizeof line, "%010zu %05d %c \n", position, generation, kind);
    return line;
}

// "12 0 obj" at the start of a line.
bool ObjectHeader(std::string_view line, int &number, int &generation) {
    int consumed = 0;
    std::string copy(line);
    if (std::sscanf(copy.c_str(), "%d %d obj%n", &number, &generation, &consumed) != 2 || consumed == 0) return false;
    return true;
}

struct Builder {
    std::string out;
    std::map<int, std::pair<int, std::size_t>> objects;  // number -> generation, position
    std::map<int, std::size_t> latest;  // number -> position of its newest copy
    std::vector<std::size_t> tables;

    void WriteTable() {
        tables.push_back(out.size());
        out += "xref\n";
        if (tables.size() == 1) out += "0 1\n" + Entry(0, 65535, 'f');
        for (auto run = objects.begin(); run != objects.end();) {
            auto end = run;
            int next = run->first;
            while (end != objects.end() && end->first == next) ++end, ++next;
            out += std::to_string(run->first) + " " + std::to_string(next - run->first) + "\n";
            for (; run != end; ++run) out += Entry(run->second.second, run->second.first, 'n');
        }
        objects.clear();
    }

    void Replace(std::string &line) const {
        auto substitute = [&](std::string_view marker, std::size_t value) {
            for (std::size_t at; (at = line.find(marker)) != std::string::npos;)
                line.replace(at, marker.size(), std::to_string(value));
        };
        if (!tables.empty()) substitute("@startxref", tables.back());
        if (tables.size() > 1) substitute("@prev", tables[tables.size() - 2]);
        for (std::size_t at; (at = line.find("@obj:")) != std::string::npos;) {
            std::size_t digits = line.find_first_not_of("0123456789", at + 5);
            if (digits == std::string::npos) digits = line.size();
            int number = std::stoi(line.substr(at + 5, digits - at - 5));
            line.replace(at, digits - at, std::to_string(latest.at(number)));
        }
    }
};

}  // namespace

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

std::vector<std::uint8_t> BuildPdf(std::string_view text) {
    Builder builder;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string_view::npos ? text.size() : end + 1;
        std::string line(text.substr(start, end - start));
        start = end;
        if (line.starts_with("@xref")) {
            builder.WriteTable();
            continue;
        }
        int number = 0;
        int generation = 0;
        if (ObjectHeader(line, number, generation)) {
            builder.objects[number] = {generation, builder.out.size()};
            builder.latest[number] = builder.out.size();
        }
        builder.Replace(line);
        builder.out += line;
    }
    return Bytes(builder.out);
}

std::vector<std::uint8_t> LoadPdf(const std::string &name) {
    std::ifstream in(SourceDir() / "tests" / "data" / name, std::ios::binary);
    if (!in) throw std::runtime_error("missing test file " + name);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return BuildPdf(text);
}

ParsedFile::ParsedFile(std::vector<std::uint8_t> bytes)
    : document(std::make_unique<ZavorPdf::Pdf::PdfDocument>(ZavorPdf::Pdf::DocumentSetup::Empty)),
      parser(std::make_unique<ZavorPdf::Pdf::IO::Parser>(*document, std::move(bytes))) {
    document->ReferenceTable().SetUnderConstruction(true);
}

void ParsedFile::ReadAll() {
    parser->ReadTrailer();
    for (ZavorPdf::Pdf::PdfReference *reference : document->ReferenceTable().AllReferences())
        if (reference->Value() == nullptr && reference->Position() > 0) parser->ReadObject(nullptr, reference->ObjectID());
    document->ReferenceTable().SetUnderConstruction(false);
}

ZavorPdf::Pdf::PdfObject *ParsedFile::Object(int number) const {
    ZavorPdf::Pdf::PdfReference *reference = document->ReferenceTable()[ZavorPdf::Pdf::PdfObjectID(number)];
    return reference != nullptr ? reference->Value() : nullptr;
}

}  // namespace ZavorTest
