#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <wbemidl.h>
#include "app/pages/quick/model/ResultLink.h"
#include "app/pages/quick/ResultSubmit.h"
#include "core/VersionInfo.h"

namespace {
template <class T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr()
    {
        if (p)
            p->Release();
    }
};

std::string Narrow(const wchar_t* text)
{
    if (!text)
        return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return std::string();
    std::string out((size_t)n - 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], n, nullptr, nullptr);
    return out;
}

bool QueryFromServices(IWbemServices* services, std::string& name, uint32_t& mhz)
{
    ComPtr<IEnumWbemClassObject> rows;
    BSTR language = SysAllocString(L"WQL");
    BSTR query = SysAllocString(L"SELECT Name, MaxClockSpeed FROM Win32_Processor");
    HRESULT hr = services->ExecQuery(language, query, WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                                     nullptr, &rows.p);
    SysFreeString(language);
    SysFreeString(query);
    if (FAILED(hr) || !rows.p)
        return false;
    ComPtr<IWbemClassObject> row;
    ULONG got = 0;
    if (FAILED(rows.p->Next(WBEM_INFINITE, 1, &row.p, &got)) || got == 0 || !row.p)
        return false;
    VARIANT v;
    VariantInit(&v);
    if (SUCCEEDED(row.p->Get(L"Name", 0, &v, nullptr, nullptr)) && v.vt == VT_BSTR)
        name = Narrow(v.bstrVal);
    VariantClear(&v);
    if (SUCCEEDED(row.p->Get(L"MaxClockSpeed", 0, &v, nullptr, nullptr))) {
        if (v.vt == VT_I4 || v.vt == VT_UI4)
            mhz = v.ulVal;
        else if (v.vt == VT_BSTR)
            mhz = (uint32_t)wcstoul(v.bstrVal, nullptr, 10);
    }
    VariantClear(&v);
    return true;
}
} // namespace

bool QueryProcessor(std::string& name, uint32_t& mhz)
{
    name.clear();
    mhz = 0;
    HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool uninit = SUCCEEDED(init);
    bool ok = false;
    HRESULT sec = CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                       RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    if (SUCCEEDED(sec) || sec == RPC_E_TOO_LATE) {
        ComPtr<IWbemLocator> locator;
        if (SUCCEEDED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                       (void**)&locator.p))) {
            ComPtr<IWbemServices> services;
            BSTR ns = SysAllocString(L"ROOT\\CIMV2");
            HRESULT hr =
                locator.p->ConnectServer(ns, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services.p);
            SysFreeString(ns);
            if (SUCCEEDED(hr) && services.p) {
                CoSetProxyBlanket(services.p, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                                  RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
                ok = QueryFromServices(services.p, name, mhz);
            }
        }
    }
    if (uninit)
        CoUninitialize();
    return ok;
}

bool OpenAddress(const std::string& address)
{
    std::string parameters = "url.dll,FileProtocolHandler " + address;
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.lpVerb = "open";
    info.lpFile = "rundll32.exe";
    info.lpParameters = parameters.c_str();
    info.nShow = SW_SHOWDEFAULT;
    return ShellExecuteExA(&info) != FALSE;
}

void SubmitResults(uint32_t readMiB, uint32_t writeMiB, const std::string& device, uint32_t classBits)
{
    std::string name;
    uint32_t mhz = 0;
    std::string processor;
    if (QueryProcessor(name, mhz))
        processor = ProcessorText(name, mhz);
    OpenAddress(
        BuildResultAddress(QM_WEB_SERVER, readMiB, writeMiB, device, ClassText(classBits), processor));
}
