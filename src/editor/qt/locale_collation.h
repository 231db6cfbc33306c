// The locale's collation for the sorts of the memo, through Qt's collator.
#pragma once

namespace rekna {

// Installs the Japanese locale's case-insensitive collation as the process's text collator
// (editor/commands/text_collation.h); once is enough, later calls do nothing.
void InstallLocaleCollation();

}  // namespace rekna
