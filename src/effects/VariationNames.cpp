#include "VariationNames.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "Catalogue.h"

namespace corvellin {
namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

std::string VariationName(int category, int variation) {
    const CategoryInfo* info = FindCategory(category);
    if (info == nullptr || variation < 0 || variation >= kVariationCount) return {};
    return (*info->variations)[static_cast<std::size_t>(variation)];
}

int CategoryByName(const std::string& name) {
    const std::string wanted = Lower(name);
    for (const CategoryInfo& info : kCategories)
        if (Lower(info.name) == wanted) return info.number;
    return 0;
}

std::string NearestCategoryName(const std::string& name) {
    const std::string wanted = Lower(name);
    std::string best;
    std::size_t bestDistance = SIZE_MAX;
    for (const CategoryInfo& info : kCategories) {
        const std::size_t d = EditDistance(wanted, Lower(info.name));
        if (d < bestDistance) bestDistance = d, best = info.name;
    }
    return best;
}

}  // namespace corvellin
