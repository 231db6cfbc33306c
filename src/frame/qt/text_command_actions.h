// The frame's table and text actions made into QActions with their category menus.
#pragma once

#include <functional>
#include <map>
#include <string>

class QAction;
class QMenu;

namespace rekna {

class TVtFrameCalc;

// Creates the actions of テーブル, 変換, 入替, 整形 and 括弧 on the frame, enters them and their
// menus into the frame's maps (so Action(name) and CategoryMenu(category) find them) and adds
// the menus to the memo's popup. Called once, after the frame made its own menus.
void InstallTextCommands(TVtFrameCalc& frame, std::map<std::string, QAction*, std::less<>>& actions,
                         std::map<std::string, QMenu*, std::less<>>& menus);

}  // namespace rekna
