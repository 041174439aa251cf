#pragma once

class QToolBar;

// Lets the buttons of `bar` follow the enabled state and check mark of their actions without
// taking the whole action again. A tool button re-reads caption, picture and font on every
// change of its action and has the window laid out anew, while the dive editor's rules switch
// commands of the tool bar on nearly every move to another dive. Any other change of an action
// (caption, picture, visibility, ...) still reaches the buttons and the bar as before.
void followActionStatesLightly(QToolBar* bar);
