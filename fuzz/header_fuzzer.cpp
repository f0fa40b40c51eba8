// libFuzzer target: the input is a whole file that may be a dBASE, FoxPro
// or Clipper table. Whatever its header claims, the recogniser reads only
// the bytes it was given, and a table it accepts is one whose fields lie
// side by side inside the record, after the deletion flag, each with a
// width its type takes and a name a layout file takes, and whose records
// lie inside the file.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "find/TableHeader.h"
#include "marks/FieldType.h"
#include "support/MemoryIo.h"

namespace {

using namespace zorbik;

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

bool NameFits(const std::string& name)
{
    if (name.empty())
        return false;
    for (const char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-'))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A copy of exactly the input, so that the sanitizers see any read past it.
    const std::vector<std::uint8_t> bytes(data, data + size);
    const std::optional<TableHeader> table = RecogniseTable(MemorySource(bytes));
    if (!table)
        return 0;
    const RecordDescription& d = table->description;
    Require(table->recordCount >= 1 && d.length >= 2, "a table has a record of two bytes at least");
    Require(table->recordBegin + table->recordCount * d.length + (table->endMark ? 1 : 0) == size,
            "the header and the records make the file");
    Require(!d.fields.empty() && d.fields.front().name == "deleted" && d.fields.front().offset == 0 &&
                d.fields.front().width == 1,
            "the deletion flag is the first column");
    std::uint32_t end = 0;
    for (std::size_t i = 0; i < d.fields.size(); ++i) {
        const DescribedField& f = d.fields[i];
        Require(f.offset >= end && f.width >= 1 && f.offset + f.width <= d.length, "fields lie side by side");
        Require(FieldWidthFits(f.type, f.options, f.width), "a field's width fits its type");
        Require(NameFits(f.name), "a name a layout file takes");
        for (std::size_t j = 0; j < i; ++j)
            Require(d.fields[j].name != f.name, "every name once");
        end = f.offset + f.width;
    }
    for (const TableNote& note : table->notes)
        Require(!TableNoteText(note, UiLanguage::German).empty(), "a note has a text");
    return 0;
}
