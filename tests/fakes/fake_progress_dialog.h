#pragma once

#include "fakes/fake_com.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

// A progress dialog that records every call, in order, into a log the test can share
// with other fakes. Register it for the shell's class with fake_class_registration.
class fake_progress_dialog : public IProgressDialog
{
public:
    explicit fake_progress_dialog(std::vector<std::wstring>& log) : m_log(log) {}

    int cancel_from_poll = 0;                  // HasUserCancelled answers TRUE from this poll on (1 = first); 0 never
    std::map<std::wstring, HRESULT> failures;  // method name -> HRESULT it returns
    std::function<void()> on_timer;            // runs inside Timer
    counted_references references;
    int polls = 0;

    std::vector<std::wstring> calls_named(const std::wstring& name) const
    {
        std::vector<std::wstring> calls;
        for (const auto& entry : m_log)
        {
            if (entry.rfind(name + L"(", 0) == 0)
            {
                calls.push_back(entry);
            }
        }
        return calls;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override
    {
        *result = nullptr;
        if (iid == interface_id<IUnknown>::value || iid == interface_id<IProgressDialog>::value)
        {
            *result = static_cast<IProgressDialog*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return references.add_ref(); }
    ULONG STDMETHODCALLTYPE Release() override { return references.release(); }

    HRESULT STDMETHODCALLTYPE StartProgressDialog(HWND owner, IUnknown* modeless, DWORD flags, LPCVOID) override
    {
        return record(L"StartProgressDialog", std::to_wstring(reinterpret_cast<UINT_PTR>(owner)) + L"," +
                                                  std::to_wstring(reinterpret_cast<UINT_PTR>(modeless)) + L"," + std::to_wstring(flags));
    }
    HRESULT STDMETHODCALLTYPE StopProgressDialog() override { return record(L"StopProgressDialog", L""); }
    HRESULT STDMETHODCALLTYPE SetTitle(PCWSTR title) override { return record(L"SetTitle", title); }
    HRESULT STDMETHODCALLTYPE SetAnimation(HINSTANCE module, UINT id) override
    {
        return record(L"SetAnimation", std::wstring(module ? L"module," : L"null,") + std::to_wstring(id));
    }
    BOOL STDMETHODCALLTYPE HasUserCancelled() override
    {
        ++polls;
        m_log.push_back(L"HasUserCancelled()");
        return cancel_from_poll > 0 && polls >= cancel_from_poll;
    }
    HRESULT STDMETHODCALLTYPE SetProgress(DWORD completed, DWORD total) override
    {
        return record(L"SetProgress", std::to_wstring(completed) + L"," + std::to_wstring(total));
    }
    HRESULT STDMETHODCALLTYPE SetProgress64(ULONGLONG, ULONGLONG) override { return record(L"SetProgress64", L""); }
    HRESULT STDMETHODCALLTYPE SetLine(DWORD line, PCWSTR text, BOOL compact, LPCVOID) override
    {
        return record(L"SetLine", std::to_wstring(line) + L"," + text + L"," + std::to_wstring(compact));
    }
    HRESULT STDMETHODCALLTYPE SetCancelMsg(PCWSTR, LPCVOID) override { return record(L"SetCancelMsg", L""); }
    HRESULT STDMETHODCALLTYPE Timer(DWORD action, LPCVOID) override
    {
        if (on_timer)
        {
            on_timer();
        }
        return record(L"Timer", std::to_wstring(action));
    }

private:
    HRESULT record(const std::wstring& method, const std::wstring& arguments)
    {
        m_log.push_back(method + L"(" + arguments + L")");
        const auto failure = failures.find(method);
        return failure == failures.end() ? S_OK : failure->second;
    }

    std::vector<std::wstring>& m_log;
};
