#pragma once
#include <pugixml.hpp>

#include <string_view>

// Reading the host's profile documents by local names, whatever namespace prefixes they use.
namespace ov::wlan::nm {

inline std::string_view LocalName(const pugi::xml_node& node) {
  std::string_view n = node.name();
  if (auto colon = n.find(':'); colon != std::string_view::npos) n = n.substr(colon + 1);
  return n;
}

// The first child named `name`.
inline pugi::xml_node Child(const pugi::xml_node& node, std::string_view name) {
  for (pugi::xml_node c : node.children())
    if (LocalName(c) == name) return c;
  return {};
}

// The first element named `name` below `node`, in document order.
inline pugi::xml_node Descendant(const pugi::xml_node& node, std::string_view name) {
  return node.find_node([name](const pugi::xml_node& n) {
    return n.type() == pugi::node_element && LocalName(n) == name;
  });
}

inline std::string_view Text(const pugi::xml_node& node) { return node.text().as_string(); }

}  // namespace ov::wlan::nm
