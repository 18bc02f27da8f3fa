// Lookups in the category table by name: the variations' short names for
// listings such as corvellin-fx list, and the categories by their names.
#pragma once

#include <string>

namespace corvellin {

// The name of a variation (0..9) of a category (1..15), or "" for other numbers.
std::string VariationName(int category, int variation);

// The category whose button caption (without "&") is name, compared without
// case ("star", "LightB"); 0 when none is.
int CategoryByName(const std::string& name);

// The category caption nearest to a mistyped name (edit distance), for a hint.
std::string NearestCategoryName(const std::string& name);

}  // namespace corvellin
