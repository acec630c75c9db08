// The eight resource categories: tree item, server folder, catalogue address.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace plendrik::catalogue {

struct Category {
    int treeIndex;
    std::string_view treeText;
    std::string_view folder;

    std::string catalogueAddress(std::string_view resourceServerBase) const {
        return std::string(resourceServerBase) + std::string(folder) + "/123.txt";
    }
};

std::span<const Category> categories();
const Category* categoryForTreeIndex(int treeIndex); // nullptr when the item is not a category
const Category* categoryByFolder(std::string_view folder);

} // namespace plendrik::catalogue
