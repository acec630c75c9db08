#include "catalogue/category.h"

#include <array>

namespace plendrik::catalogue {
namespace {

constexpr std::array kCategories{
    Category{3, "VantoroJAR包", "jar"},
    Category{5, "官方例程", "guanfanglicheng"},
    Category{6, "精品例程", "jingpinlicheng"},
    Category{8, "精品编程工具", "jingpinbianchenggongju"},
    Category{10, "计算机考题", "jisuanjikaoti"},
    Category{11, "Vantoro考题", "vantorokaoti"},
    Category{13, "Vantoro基础-深入", "vantorojichushenru"},
    Category{14, "Vantoro编程相关视频", "vantoroxiangguanshiping"},
};

} // namespace

std::span<const Category> categories() { return kCategories; }

const Category* categoryForTreeIndex(int treeIndex) {
    for (const Category& c : kCategories)
        if (c.treeIndex == treeIndex)
            return &c;
    return nullptr;
}

const Category* categoryByFolder(std::string_view folder) {
    for (const Category& c : kCategories)
        if (c.folder == folder)
            return &c;
    return nullptr;
}

} // namespace plendrik::catalogue
