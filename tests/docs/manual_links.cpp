#include "tests/docs/manual_links.h"

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace ov::docs {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Matches(const std::string& text, const std::regex& pattern) {
  std::vector<std::string> found;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator();
       ++it) {
    found.push_back((*it)[1].str());
  }
  return found;
}

bool HasAnchor(const std::string& page, const std::string& anchor) {
  return page.find("id=\"" + anchor + "\"") != std::string::npos;
}

bool Outside(const std::string& link) {
  return link.starts_with("http:") || link.starts_with("https:") || link.starts_with("mailto:");
}

}  // namespace

std::vector<std::string> ManualProblems(const fs::path& folder) {
  std::vector<std::string> problems;
  std::set<std::string> pages;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (entry.path().extension() == ".html") pages.insert(entry.path().filename().string());
  }
  if (!pages.contains("index.html")) problems.push_back("index.html is missing");

  static const std::regex links("(?:href|src)=\"([^\"]*)\"");
  static const std::regex images("<img\\b[^>]*>");
  static const std::regex alt("\\balt=\"[^\"]+\"");
  std::set<std::string> fromContents;
  for (const std::string& name : pages) {
    const std::string page = ReadText(folder / name);
    for (const std::string& link : Matches(page, links)) {
      if (link.empty() || Outside(link)) continue;
      const size_t hash = link.find('#');
      const std::string file = link.substr(0, hash);
      const std::string anchor = hash == std::string::npos ? "" : link.substr(hash + 1);
      if (file.find("..") != std::string::npos || file.starts_with('/')) {
        problems.push_back(name + ": " + link + " leads out of the manual");
        continue;
      }
      const std::string target = file.empty() ? name : file;
      if (!fs::is_regular_file(folder / target, ec)) {
        problems.push_back(name + ": " + link + " is missing");
        continue;
      }
      if (!anchor.empty() && !HasAnchor(ReadText(folder / target), anchor))
        problems.push_back(name + ": " + link + " names no anchor of " + target);
      if (name == "index.html" && target.ends_with(".html")) fromContents.insert(target);
    }
    for (auto it = std::sregex_iterator(page.begin(), page.end(), images); it != std::sregex_iterator();
         ++it) {
      if (!std::regex_search(it->str(), alt)) problems.push_back(name + ": " + it->str() + " has no alt text");
    }
  }
  for (const std::string& name : pages) {
    if (name != "index.html" && !fromContents.contains(name))
      problems.push_back(name + " is not linked from index.html");
  }
  return problems;
}

}  // namespace ov::docs
