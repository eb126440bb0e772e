#include "verdict.h"

#include "../app/resource_ids.h"
#include "../app/strings.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

namespace
{
    constexpr size_t md5_size = 16;
    constexpr size_t verdict_capacity = 360;

    const KnownImage* find_first_match(const KnownImageList& images, const byte_vector& digest)
    {
        if (digest.size() != md5_size)
        {
            return nullptr;
        }
        const auto match = std::find_if(images.begin(), images.end(),
                                        [&](const KnownImage& image) { return image.hash == digest; });
        return match == images.end() ? nullptr : &*match;
    }

    // The official verdict's text may name the image through a wide-string placeholder.
    std::wstring official_verdict(const std::wstring& image_name)
    {
        wchar_t buffer[verdict_capacity]{};
        _snwprintf_s(buffer, verdict_capacity, _TRUNCATE, load_string(IDS_OFFICIAL_IMAGE).c_str(), image_name.c_str());
        return buffer;
    }

    void show(const std::wstring& verdict, PCWSTR task_dialog_icon, UINT message_box_icon, verdict_presenter present)
    {
        if (!present(verdict, task_dialog_icon))
        {
            const std::wstring text = verdict + L"\r\n\r\n" + load_string(IDS_CREDITS_PLAIN);
            MessageBoxW(nullptr /* no owner */, text.c_str(), load_string(IDS_TITLE).c_str(),
                        message_box_icon | MB_SETFOREGROUND);
        }
    }
}

void show_result(const KnownImageList& images, const byte_vector& digest, verdict_presenter present)
{
    if (const KnownImage* match = find_first_match(images, digest))
    {
        show(official_verdict(match->name), TD_INFORMATION_ICON, MB_ICONINFORMATION, present);
    }
    else
    {
        show(load_string(IDS_NOT_OFFICIAL_IMAGE), TD_WARNING_ICON, MB_ICONWARNING, present);
    }
}
