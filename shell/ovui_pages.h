#pragma once

// The pages and lower panels of the program's main window, in one place so that the program and
// the tests that walk every page (tests/a11y) register the same set.
namespace ov {

class PageRegistry;

// Registers every page and panel the program offers.
void RegisterProgramPages(PageRegistry& pages);

}  // namespace ov
