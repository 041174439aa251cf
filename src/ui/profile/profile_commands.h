#pragma once

class TFrm_Principal;

// Connects the main window's member commands to their windows, each opened modally over the
// main window: Member Information (menu, Ctrl+M and tool bar), Register Member (menu and the
// member window's register button) and Invite User (menu and the dive editor's invite button).
void connectProfileCommands(TFrm_Principal& window);
