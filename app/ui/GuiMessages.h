#pragma once
// Message boxes on screen: one OK button, the given title and icon,
// over the active window.

void InstallGuiMessages();
