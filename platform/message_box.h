#pragma once
// Message boxes for fatal start-up failures. The function that shows them can
// be replaced (tests do, so that nothing ever waits for a click).

#include <string>

using MessageBoxFunction = void (*)(const std::string& title, const std::string& text);

// Shows a box with one OK button.
void ShowMessageBox(const std::string& title, const std::string& text);
// Replaces the function; null restores the system's box.
void SetMessageBoxFunction(MessageBoxFunction function);
