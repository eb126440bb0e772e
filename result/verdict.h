#pragma once

#include "task_dialog.h"

#include "../knownlist/KnownImage.h"

// Shows a verdict text with a task-dialog main icon; false when it could not be shown.
using verdict_presenter = bool (*)(const std::wstring& text, PCWSTR icon);

// Finds the first known image with the digest and tells the user whether the file is
// official; a message box with the plain-text credits stands in when present fails.
void show_result(const KnownImageList& images, const byte_vector& digest,
                 verdict_presenter present = show_task_dialog);
