// The sample resource tree, built deterministically from the word lists in resources/data/.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace plendrik::sample {

struct SampleResource {
    std::string name; // UTF-8
    int sizeKb = 0;
    std::string updated; // YYYY-MM-DD
    std::string note;
};

struct SampleCourse {
    std::string name;
    std::string description;
    int page = 0; // video/<page>.html
};

struct SampleTree {
    std::map<std::string, std::vector<SampleResource>> catalogues; // by category folder
    std::map<std::string, std::vector<SampleCourse>> courseLists;  // by file name without ".txt"
};

// The eight category folders of the file server.
const std::vector<std::string>& categoryFolders();

// Reads <dataDir>/catalogue/<folder>.txt and <dataDir>/courses.txt; missing files give empty lists.
SampleTree loadSampleTree(const std::string& dataDir);

// "name|sizeKB|updated|note" lines joined and ended with CR LF (UTF-8; the server converts to GBK).
std::string catalogueText(const std::vector<SampleResource>& resources);
// "name|description|play address" lines, the address being root + "video/<page>.html".
std::string courseListText(const std::vector<SampleCourse>& courses, const std::string& root);

} // namespace plendrik::sample
