// The completion popup's VBScript words and the interpreter's built-ins name the same things.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "editor/paint/keyword_list.h"
#include "script/builtins/builtins.h"

namespace rekna {
namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}

TEST(ScriptNames, ThePopupOffersExactlyTheBuiltIns) {
    std::set<std::string> listed;
    for (const std::string_view word : VBScriptKeyWordNames())
        listed.insert(Lower(word));
    std::set<std::string> builtins;
    for (const char* name : BuiltinNames()) {
        builtins.insert(name);
        EXPECT_EQ(listed.count(name), 1U) << name << " exists but is not offered";
    }
    for (const char* name : ScriptConstantNames()) {
        builtins.insert(name);
        EXPECT_EQ(listed.count(name), 1U) << name << " exists but is not offered";
    }
    // Beside the functions and constants the list holds statements, objects and members.
    const std::set<std::string> others = {
        "clear",  "raise",   "test",      "erase",   "error",    "explicit", "step",  "err",
        "regexp", "rekna",   "calc",      "calcc",   "calcs",    "var",      "varc",  "func",
        "funcc",  "escstop", "clipboard", "exepath", "filename", "ans",      "sleep", "quit"};
    for (const std::string& word : listed) {
        EXPECT_TRUE(builtins.count(word) != 0 || others.count(word) != 0)
            << word << " is offered but does not exist";
    }
}

}  // namespace
}  // namespace rekna
