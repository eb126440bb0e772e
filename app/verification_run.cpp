#include "verification_run.h"

#include "list_address.h"
#include "progress_percent.h"
#include "resource_ids.h"
#include "strings.h"

#include "../com/ComHelper.h"
#include "../hashing/CryptoHashAlgorithm.h"
#include "../hashing/File.h"
#include "../knownlist/list_download.h"
#include "../result/verdict.h"

#include <shlwapi.h>

#include <cstdio>

namespace
{
    constexpr wchar_t source_tag[] = L"Halcyra";
    constexpr size_t read_buffer_size = 4096;
    constexpr size_t line2_capacity = 310;
    constexpr UINT shell_search_animation = 165;

    std::wstring hashing_line(const std::wstring& path)
    {
        wchar_t buffer[line2_capacity]{};
        _snwprintf_s(buffer, line2_capacity, _TRUNCATE, load_string(IDS_HASHING_LINE2).c_str(),
                     PathFindFileNameW(path.c_str()));
        return buffer;
    }

    // Returns true when the user cancelled.
    bool hash_file(File& file, CryptoHashAlgorithm& hash, const com_ptr<IProgressDialog>& dialog)
    {
        const std::int64_t size = file.GetSize();
        byte_vector buffer(read_buffer_size, 0);
        check_hresult(dialog->Timer(PDTIMER_RESET, nullptr), dialog, source_tag, __LINE__);

        std::uint64_t hashed = 0;
        std::uint32_t last_percent = 0;
        bool cancelled = false;
        while (!cancelled)
        {
            const std::uint32_t count = file.Read(buffer);
            if (count == 0)
            {
                break;
            }
            hashed += count;
            hash.HashData(buffer, count);

            const std::uint32_t percent = percent_done(hashed, size);
            if (percent != last_percent)
            {
                check_hresult(dialog->SetProgress(percent, 100), dialog, source_tag, __LINE__);
                last_percent = percent;
            }
            cancelled = dialog->HasUserCancelled() != FALSE;
        }
        return cancelled;
    }
}

void run_verification(const std::wstring& path)
{
    File file(path);
    CryptoHashAlgorithm hash;
    const auto dialog = create_instance<IProgressDialog>(class_id::progress_dialog);

    const std::wstring title = load_string(IDS_TITLE);
    check_hresult(dialog->SetTitle(title.c_str()), dialog, source_tag, __LINE__);
    const std::wstring line1 = load_string(IDS_PROGRESS_LINE1);
    check_hresult(dialog->SetLine(1, line1.c_str(), FALSE, nullptr), dialog, source_tag, __LINE__);
    const std::wstring downloading = load_string(IDS_DOWNLOADING_LINE2);
    check_hresult(dialog->SetLine(2, downloading.c_str(), FALSE, nullptr), dialog, source_tag, __LINE__);
    // Loaded as data only for the animation; it stays loaded for the life of the process.
    if (const HMODULE shell = LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE))
    {
        check_hresult(dialog->SetAnimation(shell, shell_search_animation), dialog, source_tag, __LINE__);
    }
    check_hresult(dialog->StartProgressDialog(nullptr /* no owner */, nullptr /* no modeless object */,
                                              PROGDLG_AUTOTIME, nullptr),
                  dialog, source_tag, __LINE__);

    try
    {
        const KnownImageList images = download_known_images(known_image_list_address);

        const std::wstring line2 = hashing_line(path);
        check_hresult(dialog->SetLine(2, line2.c_str(), TRUE /* compact path */, nullptr), dialog, source_tag, __LINE__);

        const bool cancelled = hash_file(file, hash, dialog);
        check_hresult(dialog->StopProgressDialog(), dialog, source_tag, __LINE__);
        if (!cancelled)
        {
            show_result(images, hash.GetHashValue());
        }
    }
    catch (const wexception<std::runtime_error>&)
    {
        dialog->StopProgressDialog();
        throw;
    }
}
