#include "find/TableHeader.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string_view>

#include "codecs/LittleEndian.h"
#include "codepage/CodePages.h"

namespace zorbik {
namespace {

constexpr std::size_t kDescriptor = 32;
constexpr std::uint8_t kFieldsEnd = 0x0D;
constexpr std::uint8_t kEndOfFile = 0x1A;
// Visual FoxPro keeps the path of its database container, 263 bytes,
// behind the descriptors; other writers leave a byte or none.
constexpr std::size_t kMostAfterFields = 264;
// The widest number a text of digits converts as (DecimalNumber's limit).
constexpr std::uint32_t kWidestNumber = 20;

struct Version {
    std::uint8_t byte;
    TableKind kind;
};

// The version bytes of the tables with 32-byte field descriptors; dBASE 7
// (04h/8Ch with 48-byte descriptors) is not among them and fails the checks.
constexpr Version kVersions[] = {
    {0x02, TableKind::FoxBase},      {0xFB, TableKind::FoxBase},    {0x03, TableKind::Dbase3},
    {0x83, TableKind::Dbase3Memo},   {0x04, TableKind::Dbase4},     {0x05, TableKind::Dbase4},
    {0x43, TableKind::Dbase4},       {0x63, TableKind::Dbase4},     {0x7B, TableKind::Dbase4},
    {0x8B, TableKind::Dbase4},       {0xCB, TableKind::Dbase4},     {0xF5, TableKind::FoxPro},
    {0xE5, TableKind::Clipper},      {0x30, TableKind::VisualFoxPro}, {0x31, TableKind::VisualFoxPro},
    {0x32, TableKind::VisualFoxPro},
};

struct Driver {
    std::uint8_t id;
    std::uint16_t codePage;
};

// The language driver ids of byte 29 and the code pages they name.
constexpr Driver kDrivers[] = {
    {0x01, 437},  {0x02, 850},  {0x03, 1252}, {0x04, 10000}, {0x08, 865},  {0x09, 437},  {0x0A, 850},
    {0x0B, 437},  {0x0D, 437},  {0x0E, 850},  {0x0F, 437},   {0x10, 850},  {0x11, 437},  {0x12, 850},
    {0x13, 932},  {0x14, 850},  {0x15, 437},  {0x16, 850},   {0x17, 865},  {0x18, 437},  {0x19, 437},
    {0x1A, 850},  {0x1B, 437},  {0x1C, 863},  {0x1D, 850},   {0x1F, 852},  {0x22, 852},  {0x23, 852},
    {0x24, 860},  {0x25, 850},  {0x26, 866},  {0x37, 850},   {0x40, 852},  {0x4D, 936},  {0x4E, 949},
    {0x4F, 950},  {0x50, 874},  {0x57, 1252}, {0x58, 1252},  {0x59, 1252}, {0x64, 852},  {0x65, 866},
    {0x66, 865},  {0x67, 861},  {0x68, 895},  {0x69, 620},   {0x6A, 737},  {0x6B, 857},  {0x6C, 863},
    {0x78, 950},  {0x79, 949},  {0x7A, 936},  {0x7B, 932},   {0x7C, 874},  {0x7D, 1255}, {0x7E, 1256},
    {0x86, 737},  {0x87, 852},  {0x88, 857},  {0xC8, 1250},  {0xC9, 1251}, {0xCA, 1254}, {0xCB, 1253},
    {0xCC, 1257},
};

std::string Hex(std::uint8_t byte)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 15]};
}

// A name as a layout file takes it: letters, digits, '_' and '-'; any other
// byte becomes '_'. Never empty.
std::string CleanName(const std::uint8_t* bytes)
{
    std::string name;
    for (std::size_t i = 0; i < 11 && bytes[i] != 0; ++i) {
        const char c = static_cast<char>(bytes[i]);
        const bool fits = (bytes[i] < 0x80 && std::isalnum(bytes[i]) != 0) || c == '-';
        name += fits ? c : '_';
    }
    return name;
}

bool SameName(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
}

// Makes `name` differ from every name before it, ignoring case: NAME_2, NAME_3 ….
std::string UniqueName(const std::vector<DescribedField>& before, const std::string& name)
{
    std::string unique = name;
    for (int n = 2;; ++n) {
        if (std::none_of(before.begin(), before.end(),
                         [&unique](const DescribedField& f) { return SameName(f.name, unique); }))
            return unique;
        unique = name + "_" + std::to_string(n);
    }
}

struct Descriptor {
    std::string name;
    char type;
    std::uint32_t width;
    std::uint8_t decimals;
};

Descriptor ReadDescriptor(const std::uint8_t* d)
{
    Descriptor field{CleanName(d), static_cast<char>(d[11]), d[16], d[17]};
    // Clipper and FoxPro keep a text's length above 255 in the decimals byte.
    if (field.type == 'C') {
        field.width |= std::uint32_t{d[17]} << 8;
        field.decimals = 0;
    }
    return field;
}

// The column a field converts as; false for a type or width no table has,
// which means the bytes are no table.
bool Describe(const Descriptor& d, bool visualFoxPro, DescribedField& field, std::vector<TableNote>& notes)
{
    field.type = FieldType::Text;
    const auto memo = [&] {
        // dBASE writes the block number as ten digits, Visual FoxPro as a
        // 4-byte integer.
        if (d.width == 4) {
            field.type = FieldType::Integer;
            field.options.isUnsigned = true;
        } else if (d.width != 10) {
            return false;
        }
        notes.push_back({MessageId::TableNoteMemo, {field.name, std::string(1, d.type)}});
        return true;
    };
    switch (d.type) {
    case 'C':
    case 'V': // Visual FoxPro's varchar: its length hides in the null flags
    case 'Q':
        return true;
    case 'L':
        return d.width == 1;
    case 'N':
    case 'F':
        // The text carries its own point: the decimals byte says nothing the
        // digits do not, and a text without a point is a whole number. Blanks
        // or asterisks only are no value.
        if (d.decimals >= d.width && d.decimals != 0)
            return false;
        if (d.width <= kWidestNumber) {
            field.type = FieldType::DecimalNumber;
            field.options.blankEmpty = true;
        } else {
            notes.push_back({MessageId::TableNoteWideNumber, {field.name, std::to_string(d.width)}});
        }
        return true;
    case 'D':
        field.type = FieldType::Date;
        return d.width == 8;
    case 'I':
        field.type = FieldType::Integer;
        return d.width == 4;
    case 'Y':
        field.type = FieldType::Integer;
        field.options.scale = 4;
        return d.width == 8;
    case 'T':
        field.type = FieldType::Date;
        field.options.date = DateForm::Julian;
        return d.width == 8;
    case 'B':
        // A double in Visual FoxPro; dBASE IV's binary memo elsewhere.
        if (!visualFoxPro)
            return memo();
        field.type = FieldType::BinReal;
        return d.width == 8;
    case 'M':
    case 'G':
    case 'P':
    case 'W':
        return memo();
    default:
        return false;
    }
}

} // namespace

std::optional<TableHeader> ReadTableHeader(const std::uint8_t* head, std::size_t headSize, std::uint64_t fileSize,
                                           std::uint8_t lastByte)
{
    if (headSize < 2 * kDescriptor + 2)
        return std::nullopt;
    const Version* version = std::find_if(std::begin(kVersions), std::end(kVersions),
                                          [head](const Version& v) { return v.byte == head[0]; });
    if (version == std::end(kVersions) || head[2] > 12 || head[3] > 31)
        return std::nullopt;
    TableHeader table;
    table.kind = version->kind;
    table.version = head[0];
    table.recordCount = LoadLe32(head + 4);
    table.recordBegin = LoadLe32(head + 8, 2);
    const std::uint32_t length = LoadLe32(head + 10, 2);
    // The header, the records and at most the end-of-file byte make the file;
    // the first record's flag byte is blank or '*'.
    const std::uint64_t end = table.recordBegin + table.recordCount * length;
    table.endMark = end + 1 == fileSize && lastByte == kEndOfFile;
    if (table.recordCount == 0 || length < 2 || (end != fileSize && !table.endMark) ||
        table.recordBegin >= headSize || (head[table.recordBegin] != ' ' && head[table.recordBegin] != '*'))
        return std::nullopt;
    // The descriptors up to 0Dh, all inside the header.
    std::size_t fields = 0;
    while (kDescriptor * (fields + 1) < table.recordBegin && head[kDescriptor * (fields + 1)] != kFieldsEnd)
        ++fields;
    const std::size_t fieldsEnd = kDescriptor * (fields + 1);
    if (fields == 0 || fieldsEnd >= table.recordBegin || table.recordBegin - fieldsEnd - 1 > kMostAfterFields)
        return std::nullopt;

    RecordDescription& description = table.description;
    description.length = length;
    description.settings.trimTexts = true; // dBASE pads texts with blanks, which are no part of them
    description.fields.push_back({"deleted", 0, 1, FieldType::Text, {}});
    table.declared.emplace_back("' '/'*'");
    const bool visualFoxPro = version->kind == TableKind::VisualFoxPro;
    std::uint32_t offset = 1;
    for (std::size_t i = 0; i < fields; ++i) {
        const Descriptor d = ReadDescriptor(head + kDescriptor * (i + 1));
        if (d.name.empty() || d.width == 0 || d.width > length - offset)
            return std::nullopt;
        DescribedField field{UniqueName(description.fields, d.name), offset, d.width, FieldType::Text, {}};
        offset += d.width;
        if (d.type == '0') { // Visual FoxPro's null flags: bits, no value of their own
            table.notes.push_back({MessageId::TableNoteNullFlags, {field.name}});
            continue;
        }
        if (!Describe(d, visualFoxPro, field, table.notes))
            return std::nullopt;
        description.fields.push_back(std::move(field));
        std::string declared = std::string(1, d.type) + "(" + std::to_string(d.width);
        if (d.decimals != 0)
            declared += "," + std::to_string(d.decimals);
        table.declared.push_back(declared + ")");
    }
    if (offset != length)
        return std::nullopt;

    const std::uint8_t driver = head[29];
    const Driver* page = std::find_if(std::begin(kDrivers), std::end(kDrivers),
                                      [driver](const Driver& d) { return d.id == driver; });
    if (page != std::end(kDrivers) && IsKnownCodePage(page->codePage))
        description.settings.codePage = page->codePage;
    else if (page != std::end(kDrivers))
        table.notes.push_back({MessageId::TableNoteUnknownPage, {Hex(driver), std::to_string(page->codePage)}});
    else
        table.notes.push_back({MessageId::TableNoteNoPage, {Hex(driver)}});
    return table;
}

std::optional<TableHeader> RecogniseTable(const SourceBytes& source)
{
    const std::uint64_t size = source.Size();
    std::vector<std::uint8_t> head(static_cast<std::size_t>(std::min<std::uint64_t>(size, kTableHeadBytes)));
    std::uint8_t last = 0;
    if (size == 0 || source.ReadAt(0, head.data(), head.size()) != static_cast<std::int64_t>(head.size()) ||
        source.ReadAt(size - 1, &last, 1) != 1)
        return std::nullopt;
    return ReadTableHeader(head.data(), head.size(), size, last);
}

std::string TableNoteText(const TableNote& note, UiLanguage language)
{
    return Say(note.id, language, note.args);
}

Layout TableLayout(const TableHeader& table)
{
    return LayoutFromDescription(table.recordBegin, table.description);
}

namespace {

MessageId KindName(TableKind kind)
{
    switch (kind) {
    case TableKind::FoxBase:
        return MessageId::TableKindFoxBase;
    case TableKind::Dbase3Memo:
        return MessageId::TableKindDbase3Memo;
    case TableKind::Dbase4:
        return MessageId::TableKindDbase4;
    case TableKind::FoxPro:
        return MessageId::TableKindFoxPro;
    case TableKind::VisualFoxPro:
        return MessageId::TableKindVisualFoxPro;
    case TableKind::Clipper:
        return MessageId::TableKindClipper;
    case TableKind::Dbase3:
        break;
    }
    return MessageId::TableKindDbase3;
}

} // namespace

std::string FormatTable(const TableHeader& table, UiLanguage language)
{
    const RecordDescription& d = table.description;
    std::ostringstream text;
    text << Say(MessageId::TableHeading, language, {Text(KindName(table.kind), language), Hex(table.version)})
         << "\n"
         << Say(MessageId::GuessRecords, language,
                {std::to_string(d.length), std::to_string(table.recordBegin), std::to_string(table.recordCount),
                 table.endMark ? "1" : "0"})
         << "\n"
         << Say(MessageId::GuessConfidence, language, {"100"}) << "\n";
    for (std::size_t i = 0; i < d.fields.size(); ++i) {
        const DescribedField& f = d.fields[i];
        text << Say(MessageId::TableField, language,
                    {std::to_string(i + 1), std::to_string(f.offset), std::to_string(f.offset + f.width - 1),
                     f.name + " " + table.declared[i]})
             << "\n";
    }
    for (const TableNote& note : table.notes)
        text << "# " << TableNoteText(note, language) << "\n";
    // The layout file without its heading, which the first line replaces.
    const std::string layout = FormatLayout(TableLayout(table));
    text << std::string_view(layout).substr(layout.find('\n') + 1);
    return text.str();
}

std::string TableSummary(const TableHeader& table, UiLanguage language)
{
    std::string text = Say(MessageId::TableFound, language,
                           {Text(KindName(table.kind), language), std::to_string(table.recordCount),
                            std::to_string(table.description.length), std::to_string(table.recordBegin)});
    for (const TableNote& note : table.notes)
        text += "\n" + TableNoteText(note, language);
    return text;
}

} // namespace zorbik
