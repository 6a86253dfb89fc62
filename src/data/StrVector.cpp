#include "data/StrVector.h"

#include "data/CodeDecode.h"
#include "data/StrUtil.h"

namespace lexaro {

bool TStrVector::AddBytes(const byteArray& bytes) {
    return Add(BytesToStr(bytes));
}

bool TStrVector::AddLines(const byteArray& bytes) {
    bool ok = true;
    ForEachLine(bytes.data(), bytes.size(), [&](std::string_view line) {
        if (!Add(BytesToStr(reinterpret_cast<const std::uint8_t*>(line.data()), line.size())))
            ok = false;
    });
    return ok;
}

byteArray TStrVector::GetBytes(std::int64_t index) const {
    return StrToBytes(Get(index));
}

std::vector<std::string> TStrVector::NonEmptyItems() const {
    std::vector<std::string> out;
    for (const auto& s : *this)
        if (!s.empty())
            out.push_back(s);
    return out;
}

} // namespace lexaro
