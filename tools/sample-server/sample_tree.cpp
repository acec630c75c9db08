#include "sample_tree.h"

#include "zip_maker.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

namespace plendrik::sample {
namespace {

struct Recipe {
    int count = 0;
    int maxKb = 512;
    int large = 0; // how many entries of a few megabytes, so a download shows progress
    std::vector<std::string> subjects;
    std::vector<std::string> forms;
    std::vector<std::string> notes;
};

std::vector<std::string> splitBars(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t bar = text.find('|', start);
        const std::string piece =
            text.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        if (!piece.empty())
            out.push_back(piece);
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    return out;
}

std::string trimmed(const std::string& line) {
    std::size_t end = line.size();
    while (end > 0 && (line[end - 1] == '\r' || line[end - 1] == ' '))
        --end;
    return line.substr(0, end);
}

Recipe readRecipe(const std::string& path) {
    Recipe recipe;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t space = line.find(' ');
        const std::string key = line.substr(0, space);
        const std::string value = space == std::string::npos ? std::string() : line.substr(space + 1);
        if (key == "count")
            recipe.count = std::stoi(value);
        else if (key == "maxkb")
            recipe.maxKb = std::stoi(value);
        else if (key == "large")
            recipe.large = std::stoi(value);
        else if (key == "subject")
            for (auto& s : splitBars(value))
                recipe.subjects.push_back(s);
        else if (key == "form")
            for (auto& s : splitBars(value))
                recipe.forms.push_back(s);
        else if (key == "note")
            for (auto& s : splitBars(value))
                recipe.notes.push_back(s);
    }
    return recipe;
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
std::string isoDate(long days) {
    days += 719468;
    const long era = days / 146097;
    const long doe = days - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const long day = doy - (153 * mp + 2) / 5 + 1;
    const long month = mp < 10 ? mp + 3 : mp - 9;
    const long year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04ld-%02ld-%02ld", year, month, day);
    return buffer;
}

std::vector<SampleResource> buildCatalogue(const std::string& folder, const Recipe& recipe) {
    std::vector<SampleResource> out;
    if (recipe.subjects.empty() || recipe.forms.empty())
        return out;
    std::set<std::string> seen;
    const std::size_t subjects = recipe.subjects.size();
    std::set<int> largeAt;
    for (int k = 0; k < recipe.large && recipe.count > 0; ++k)
        largeAt.insert((k * recipe.count) / recipe.large + 1);
    constexpr long kFirstDay = 15340; // 2012-01-01
    for (int i = 0; i < recipe.count; ++i) {
        std::string name = recipe.forms[(i / subjects) % recipe.forms.size()];
        replaceAll(name, "{s}", recipe.subjects[i % subjects]);
        replaceAll(name, "{n}", std::to_string(i + 1));
        // the name becomes a URL path piece and a file name: no separators from the word lists
        std::replace_if(
            name.begin(), name.end(), [](char c) { return c == '/' || c == '\\'; }, '-');
        // names are file names on the client: keep them unique within the catalogue
        for (int k = 2; !seen.insert(name).second; ++k)
            name += "_" + std::to_string(k);
        const std::uint64_t h = hash64(folder + "/" + name);
        SampleResource r;
        r.name = name;
        r.sizeKb =
            largeAt.count(i) ? 2048 + static_cast<int>(h % 4096) : 1 + static_cast<int>(h % recipe.maxKb);
        r.updated = isoDate(kFirstDay + static_cast<long>((h >> 20) % 1461));
        r.note = recipe.notes.empty() ? std::string() : recipe.notes[(h >> 40) % recipe.notes.size()];
        out.push_back(std::move(r));
    }
    return out;
}

std::map<std::string, std::vector<SampleCourse>> readCourses(const std::string& path) {
    std::map<std::string, std::vector<SampleCourse>> out;
    std::ifstream in(path);
    std::string line;
    std::string list;
    int page = 0;
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (line.empty() || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            list = line.substr(1, line.size() - 2);
            continue;
        }
        const std::size_t bar = line.find('|');
        if (list.empty() || bar == std::string::npos)
            continue;
        out[list].push_back({line.substr(0, bar), line.substr(bar + 1), ++page});
    }
    return out;
}

} // namespace

const std::vector<std::string>& categoryFolders() {
    static const std::vector<std::string> folders = {
        "jar",           "guanfanglicheng", "jingpinlicheng",     "jingpinbianchenggongju",
        "jisuanjikaoti", "vantorokaoti",    "vantorojichushenru", "vantoroxiangguanshiping"};
    return folders;
}

SampleTree loadSampleTree(const std::string& dataDir) {
    SampleTree tree;
    for (const auto& folder : categoryFolders())
        tree.catalogues[folder] =
            buildCatalogue(folder, readRecipe(dataDir + "/catalogue/" + folder + ".txt"));
    tree.courseLists = readCourses(dataDir + "/courses.txt");
    return tree;
}

std::string catalogueText(const std::vector<SampleResource>& resources) {
    std::string out;
    for (const auto& r : resources)
        out += r.name + "|" + std::to_string(r.sizeKb) + "|" + r.updated + "|" + r.note + "\r\n";
    return out;
}

std::string courseListText(const std::vector<SampleCourse>& courses, const std::string& root) {
    std::string out;
    for (const auto& c : courses)
        out += c.name + "|" + c.description + "|" + root + "video/" + std::to_string(c.page) + ".html\r\n";
    return out;
}

} // namespace plendrik::sample
