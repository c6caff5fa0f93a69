// The texts the main window shows for a target: title, description, the
// three-line file panel, the status line, the path box and the Start caption.
// Everything goes to the window through SetDialogItemText on mainWindow.
#pragma once
#include <stdint.h>

#include "package/byte_string.h"

// The information panel text last composed by ShowTargetInfo.
extern ByteString targetInfoText;

// A name whose first and last byte are both '"': a description of the
// target rather than a file name. Empty is not quoted; one '"' is.
bool IsQuotedName(const char* name, int32_t length);

void SetStatusText(const char* text);
// Controls 1110, 1111, 1112 and 1113 for targets[index].
void ShowTargetInfo(uint8_t index);
void SetStartCaption(const char* text);
// The name, or the placeholder for a quoted name.
void SetTargetPathBox(const char* name, int32_t length);
