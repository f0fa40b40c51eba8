// dBASE tables made by hand for the header's tests: the header, the field
// descriptors, records of blanks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace zorbik::testing {

struct Field {
    const char* name;
    char type;
    std::uint16_t width;
    std::uint8_t decimals = 0;
};

// A table of two records (the second deleted): header, descriptors, 0Dh and
// `afterFields` more bytes, records of blanks, the end-of-file byte.
inline std::vector<std::uint8_t> Table(std::uint8_t version, std::uint8_t driver, const std::vector<Field>& fields,
                                       std::size_t afterFields = 0, bool endMark = true)
{
    std::uint32_t length = 1;
    for (const Field& f : fields)
        length += f.width;
    const std::size_t header = 32 * (fields.size() + 1) + 1 + afterFields;
    std::vector<std::uint8_t> b(header, 0);
    b[0] = version, b[1] = 124, b[2] = 12, b[3] = 31, b[4] = 2, b[29] = driver;
    b[8] = header & 0xFF, b[9] = header >> 8 & 0xFF, b[10] = length & 0xFF, b[11] = length >> 8 & 0xFF;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::uint8_t* d = b.data() + 32 * (i + 1);
        std::copy_n(fields[i].name, std::strlen(fields[i].name), d);
        d[11] = static_cast<std::uint8_t>(fields[i].type), d[16] = fields[i].width & 0xFF;
        d[17] = fields[i].type == 'C' ? fields[i].width >> 8 : fields[i].decimals;
    }
    b[32 * (fields.size() + 1)] = 0x0D;
    for (const char flag : {' ', '*'}) {
        b.push_back(static_cast<std::uint8_t>(flag));
        b.insert(b.end(), length - 1, ' ');
    }
    if (endMark)
        b.push_back(0x1A);
    return b;
}

} // namespace zorbik::testing
