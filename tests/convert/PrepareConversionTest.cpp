#include <gtest/gtest.h>

#include <sstream>

#include "convert/PrepareConversion.h"
#include "support/TestStore.h"

namespace zorbik {
namespace {

using namespace zorbik::testing;

// "fault MESSAGE@ROW", or "LENGTHxRECORDS:" and per column the type's letter
// and the rows of its field ("T6,8,10 I11-12"). A clamped record count shows
// the count before the limit: "2x65534/70000:". A column that goes on past
// its field's last row shows its end: "T1-255~299".
std::string Describe(const PreparedConversion& p)
{
    std::ostringstream out;
    if (p.fault) {
        out << "fault " << static_cast<int>(p.fault.message) << "@" << p.fault.row;
        for (const std::string& arg : p.fault.args)
            out << " " << arg;
        return out.str();
    }
    out << p.layout.recordLength << "x" << p.layout.recordCount;
    if (p.clamp.recordsClamped)
        out << "/" << p.sourceRecords;
    out << ":";
    for (const PlannedColumn& column : p.plan.columns) {
        out << " " << "TIDRB?NPZXLAS"[static_cast<int>(column.type)];
        for (std::uint32_t r = column.firstRun; r < column.firstRun + column.runCount; ++r) {
            const RowRun& run = p.plan.runs[r];
            out << (r == column.firstRun ? "" : ",") << run.firstRow;
            if (run.length > 1)
                out << "-" << run.firstRow + static_cast<std::int32_t>(run.length) - 1;
        }
        const RowRun& last = p.plan.runs[column.firstRun + column.runCount - 1];
        if (column.endRow != last.firstRow + static_cast<std::int32_t>(last.length) - 1)
            out << "~" << column.endRow;
    }
    return out.str();
}

struct LayoutCase {
    const char* name;
    std::vector<Mark> marks;
    std::string expected;
    std::uint32_t size = 40;
    TargetFormat format = TargetFormat::Xls;
};

TEST(PrepareConversion, LayoutsGiveTheirFaultOrTheirColumns)
{
    const LayoutCase cases[] = {
        // Faults, with the row the list is left at.
        {"no marks at all", {}, "fault 36@-1"},
        {"record end before begin", {{5, LE}, {9, LB}}, "fault 36@5"},
        {"second begin before the end", {{2, LB}, {8, LB}, {20, LE}}, "fault 37@8"},
        {"begin without end", {{3, LB}}, "fault 37@3"},
        {"column end first", {{0, LB}, {3, CE}, {9, LE}}, "fault 38@3"},
        {"column end after the record", {{0, LB}, {9, LE}, {12, CE}}, "fault 38@12"},
        {"second column begin", {{0, LB}, {2, CB}, {5, CB}, {7, CE}, {9, LE}}, "fault 39@5"},
        {"column begin never closed", {{0, LB}, {2, CB}, {9, LE}}, "fault 39@2"},
        // The record.
        {"record only: one whole-record column", {{10, LB}, {19, LE}}, "10x99: T10-19", 1000},
        {"a short tail is no record", {{10, LB}, {19, LE}}, "10x99: T10-19", 1009},
        {"marks before the record are ignored", {{1, CE}, {4, LB}, {9, LE}}, "6x6: T4-9"},
        {"a record begin after the end is ignored", {{0, LB}, {4, LE}, {6, LB}}, "5x8: T0-4"},
        {"records past 65534 are cut", {{0, LB}, {1, LE}}, "2x65534/70000: T0-1", 140000},
        {"but not outside .xls", {{0, LB}, {1, LE}}, "2x70000: T0-1", 140000, TargetFormat::Csv},
        {"a column after the record end", {{0, LB}, {2, CB}, {3, CE}, {4, LE}, {6, CB}, {7, CE}}, "fault 45@6"},
        // Types of a fixed width refuse another, naming the type row.
        {"an Integer of 9 bytes", {{0, LB}, {1, CB, FieldType::Integer}, {9, CE}, {14, LE}},
         "fault 487@1 Integer 1\u20138 9"},
        {"an Extended of 8", {{0, LB}, {2, CB, FieldType::Extended}, {9, CE}, {14, LE}}, "fault 487@2 Extended 10 8"},
        {"a date of 7 digits", {{0, LB}, {2, CB, FieldType::Date}, {8, CE}, {14, LE}}, "fault 487@2 Date 8 7"},
        {"a zoned number of 32 digits and its sign",
         {{0, LB}, {1, CB, FieldType::Zoned, 0, {.sign = ZonedSign::SeparateLeading}}, {33, CE}, {40, LE}},
         "fault 487@1 Zoned 2\u201332 33"},
        {"an IBM float of 5 bytes", {{0, LB}, {1, CB, FieldType::BinReal, 0, {.ibm = true}}, {5, CE}, {9, LE}},
         "fault 487@1 BinReal 4, 8 5"},
        {"fitting ones, and a BinInteger that takes its first 4 bytes",
         {{0, LB}, {1, CB, FieldType::Packed}, {16, CE}, {17, CB, FieldType::Date}, {24, CE},
          {25, CB, FieldType::BinInteger}, {30, CE}, {31, CB, FieldType::PascalText}, {32, CE}, {39, LE}},
         "40x1: P1-16 A17-24 I25-28~30 S31-32"},
        // Edge columns.
        {"typed record begin", {{0, LB, TX}, {5, CB}, {9, CE}, {14, LE}}, "15x2: T0-4 T5-9"},
        {"typed record begin and end", {{0, LB, TX}, {5, CB}, {9, CE}, {14, LE, TX}}, "15x2: T0-4 T5-9 T10-14"},
        {"byte mark before the first column", {{0, LB}, {2, BM}, {5, CB}, {9, CE}, {14, LE}}, "15x2: T2~4 T5-9"},
        {"byte mark right before the first column", {{0, LB}, {4, BM}, {5, CB}, {9, CE}, {14, LE}},
         "15x2: T0-4 T5-9"},
        {"column right after an untyped begin", {{0, LB}, {1, CB}, {9, CE}, {14, LE}}, "15x2: T1-9"},
        {"byte mark after the last column", {{0, LB}, {1, CB}, {9, CE}, {12, BM}, {14, LE}}, "15x2: T1-9 T12~14"},
        {"a type after the last column makes nothing", {{0, LB}, {1, CB}, {9, CE}, {10, NO, TX}, {14, LE}},
         "15x2: T1-9"},
        {"one-row trailing column", {{0, LB}, {1, CB}, {13, CE}, {14, LE, DN}}, "15x2: T1-13 D14"},
        {"one-byte leading column", {{0, LB, BI}, {1, CB, TX}, {3, CE}, {5, LE}}, "6x6: I0 T1-3"},
        {"a column after the typed record end", {{0, LB}, {1, CB}, {3, CE}, {5, LE, TX}, {7, CB}, {8, CE}},
         "fault 45@7"},
        {"a byte mark after the typed record end", {{0, LB}, {1, CB}, {2, CE}, {3, LE, TX}, {5, BM}},
         "fault 45@5"},
        // Rows that give their column's width.
        {"widths at both edges and of one byte", {{0, LB, TX, 1}, {3, CB, BI, 1}, {5, BM}, {9, LE, DN, 2}}, "10x4: T0 I3 D8-9"},
        {"a leading width before a column", {{0, LB, BC, 2}, {4, CB, TX}, {5, CE}, {9, LE}}, "10x4: B0-1 T4-5"},
        {"a column of set width that ends the record", {{0, LB, TX}, {4, CB, TX, 6}, {9, LE, TX}}, "10x4: T0-3 T4-9"},
        {"an untyped begin before a trailing width", {{0, LB}, {2, BM}, {9, LE, TX, 3}}, "10x4: T2~6 T7-9"},
        {"a width past the record", {{0, LB}, {3, CB, TX, 8}, {9, LE}}, "fault 520@3 8 3"},
        {"a column mark inside a width", {{0, LB}, {2, CB, TX, 4}, {5, CE}, {9, LE}}, "fault 520@5 4 2"},
        {"a leading width over a column", {{0, LB, TX, 3}, {2, CB}, {4, CE}, {9, LE}}, "fault 520@2 3 0"},
        {"a trailing width over a column", {{0, LB}, {2, CB}, {6, CE}, {9, LE, TX, 4}}, "fault 520@9 4 9"},
        // Fields.
        {"typed byte marks and a typed end", {{0, LB}, {4, CB}, {6, BM, TX}, {8, BM}, {10, CE, BI}, {15, LE}},
         "16x2: T6,8,10"},
        {"an untyped end's byte is left out", {{0, LB}, {4, CB}, {6, BM, BC}, {8, BM}, {10, CE}, {15, LE}},
         "16x2: B6,8~10"},
        {"a typed begin is the type row and its byte counts", {{0, LB}, {4, CB, DN}, {6, BM}, {8, BM}, {10, CE, TX}, {15, LE}},
         "16x2: D4,6,8,10"},
        {"an untyped first byte mark makes text", {{0, LB}, {1, CB}, {2, BM}, {3, BM, BI}, {4, CE}, {5, LE}},
         "6x6: T2-3~4"},
        {"an untyped column is text whatever its end says", {{0, LB}, {1, CB}, {3, CE, BI}, {5, LE}}, "6x6: T1-3"},
        {"fields stop at the type's size",
         {{0, LB}, {1, CB, BI}, {6, CE}, {7, CB, BR}, {16, CE}, {17, CB, DN}, {38, CE}, {39, LE}},
         "40x7: I1-4~6 R7-14~16 D17-36~38", 300},
        {"texts stop at 255 bytes, packed decimals at 10", {{0, LB}, {1, CB, TX}, {299, CE}, {300, CB, BC}, {319, CE}, {320, LE}},
         "321x1: T1-255~299 B300-309~319", 400},
        {"texts whole outside .xls", {{0, LB}, {1, CB, TX}, {299, CE}, {320, LE}}, "321x1: T1-299", 400, TargetFormat::Sqlite},
    };
    for (const LayoutCase& c : cases) {
        const Marks marks = MakeStore(c.marks);
        const PreparedConversion prepared = PrepareConversion(marks, c.size, {}, c.format);
        EXPECT_EQ(Describe(prepared), c.expected) << c.name;
        // The caller's marks stay as they were: a second Convert works alike.
        EXPECT_EQ(Describe(PrepareConversion(marks, c.size, {}, c.format)), c.expected) << c.name;
        EXPECT_TRUE(prepared.fault || prepared.plan.columns.size() == prepared.layout.columnCount) << c.name;
        // A record is read from its first field's row to its last one's.
        if (!prepared.fault) {
            std::int32_t first = INT32_MAX, last = -1;
            for (const RowRun& run : prepared.plan.runs) {
                first = std::min(first, run.firstRow);
                last = std::max(last, run.firstRow + static_cast<std::int32_t>(run.length) - 1);
            }
            EXPECT_EQ(prepared.plan.minRow, first) << c.name;
            EXPECT_EQ(prepared.plan.maxRow, last) << c.name;
        }
    }
}

// .xls cuts the columns, .xlsx refuses more than its 16384, CSV takes all.
TEST(PrepareConversion, ColumnsPast65534AreCut)
{
    std::vector<Mark> marks = {{0, LB, TX}, {131070, LE}}; // a leading column and 65534 more
    for (std::int32_t c = 0; c < 65534; ++c)
        marks.insert(marks.end(), {{2 + 2 * c, CB}, {3 + 2 * c, CE}});
    const PreparedConversion p = PrepareConversion(MakeStore(marks), 131071);
    EXPECT_TRUE(p.clamp.columnsClamped && !p.clamp.recordsClamped);
    EXPECT_EQ(p.layout.columnCount, 65534u);
    EXPECT_EQ(p.plan.columns.back().beginRow, 131066); // the last column is the one dropped
    const LayoutFault xlsx = PrepareConversion(MakeStore(marks), 131071, {}, TargetFormat::Xlsx).fault;
    EXPECT_TRUE(xlsx.message == MessageId::XlsxTooManyColumns && xlsx.row == 32768) << xlsx.row;
    EXPECT_EQ(PrepareConversion(MakeStore(marks), 131071, {}, TargetFormat::Csv).plan.columns.size(), 65535u);
}

} // namespace
} // namespace zorbik
