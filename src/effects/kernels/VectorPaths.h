// Which code each kernel with processor-specific paths runs on this machine,
// for corvellin-fx --version and the tests that say which paths they ran.
#pragma once

#include <string>
#include <vector>

namespace corvellin {

struct VectorPathChoice {
    std::string kernel;
    std::string path;  // the code chosen on this processor
};

std::vector<VectorPathChoice> ChosenVectorPaths();

// "kernel: path" lines, one per kernel.
std::string DescribeVectorPaths();

}  // namespace corvellin
