#include "com/ComHelper.h"
#include "com/com_variant.h"
#include "fakes/fake_com.h"

#include <gtest/gtest.h>

namespace
{
    constexpr HRESULT some_failure = static_cast<HRESULT>(0x80004005); // E_FAIL

    com_error failure_through(const com_ptr<IDispatch>& pointer, int line = 7)
    {
        UINT count = 0;
        try
        {
            check_hresult(pointer->GetTypeInfoCount(&count), pointer, L"Halcyra", line);
        }
        catch (const com_error& error)
        {
            return error;
        }
        throw std::logic_error("check_hresult did not throw");
    }
}

TEST(CheckHresult, SuccessCodesPassWithoutTouchingTheObject)
{
    fake_dispatch object;
    {
        const com_ptr<IDispatch> pointer = hold<IDispatch>(&object);
        for (const HRESULT success : {S_OK, S_FALSE, HRESULT{2}, HRESULT{0x7fffffff}})
        {
            object.failure = success;
            UINT count = 0;
            EXPECT_NO_THROW(check_hresult(pointer->GetTypeInfoCount(&count), pointer, L"Halcyra", __LINE__));
        }
    }
    EXPECT_EQ(object.queries, 0);
    EXPECT_EQ(object.references.outstanding(), 0);
}

TEST(CheckHresult, DescriptionOfTheObjectBecomesTheMessage)
{
    fake_dispatch object;
    object.description = L"The server said no.\r\nTry again later.";
    {
        const com_error error = failure_through(hold<IDispatch>(&object), 42);
        EXPECT_EQ(error.message(), L"The server said no.\r\nTry again later.");
        EXPECT_EQ(error.code(), static_cast<DWORD>(some_failure));
        EXPECT_EQ(error.source_file(), L"Halcyra");
        EXPECT_EQ(error.source_line(), 42);
    }
    EXPECT_EQ(object.last_asked_support_for, interface_id<IDispatch>::value);
    EXPECT_EQ(object.references.outstanding(), 0);
}

TEST(CheckHresult, WithoutADescriptionTheSystemTextIsUsed)
{
    const struct
    {
        const char* situation;
        bool offers_support_error_info;
        HRESULT supports_error_info_answer;
        bool error_object_pending;
    } cases[] = {
        {"no ISupportErrorInfo", false, S_OK, true},
        {"interface not supported (S_FALSE)", true, S_FALSE, true},
        {"interface not supported (E_NOTIMPL)", true, E_NOTIMPL, true},
        {"no error object", true, S_OK, false},
    };
    for (const auto& test : cases)
    {
        fake_dispatch object;
        object.offers_support_error_info = test.offers_support_error_info;
        object.supports_error_info_answer = test.supports_error_info_answer;
        object.description = test.error_object_pending ? L"should not be used" : L"";
        SetErrorInfo(0, nullptr);
        {
            const com_error error = failure_through(hold<IDispatch>(&object));
            EXPECT_EQ(error.message(), system_message(static_cast<DWORD>(some_failure))) << test.situation;
            EXPECT_EQ(error.code(), static_cast<DWORD>(some_failure)) << test.situation;
        }
        SetErrorInfo(0, nullptr);
        EXPECT_EQ(object.references.outstanding(), 0) << test.situation;
    }
}

TEST(CheckHresult, FailingQueryForErrorSupportIsReportedWithoutRecursing)
{
    fake_dispatch object;
    object.offers_support_error_info = false;
    object.query_failure = E_UNEXPECTED;
    {
        const com_error error = failure_through(hold<IDispatch>(&object));
        EXPECT_EQ(error.code(), static_cast<DWORD>(E_UNEXPECTED));
        EXPECT_EQ(error.message(), system_message(static_cast<DWORD>(E_UNEXPECTED)));
        EXPECT_EQ(error.source_file(), L"ComHelper");
    }
    EXPECT_EQ(object.references.outstanding(), 0);
}

TEST(CreateInstance, UnregisteredClassFailsWithTheCreationCode)
{
    const CLSID nowhere{0x5e1f0b6d, 0x1a2b, 0x4c3d, {0x9e, 0x8f, 0x01, 0x23, 0x45, 0x67, 0x89, 0xab}};
    try
    {
        create_instance<IDispatch>(nowhere);
        FAIL() << "an unregistered class was created";
    }
    catch (const com_error& error)
    {
        EXPECT_EQ(error.code(), static_cast<DWORD>(REGDB_E_CLASSNOTREG));
        EXPECT_EQ(error.message(), system_message(static_cast<DWORD>(REGDB_E_CLASSNOTREG)));
        EXPECT_EQ(error.source_file(), L"ComHelper");
    }
}

TEST(CreateInstance, RegisteredClassObjectIsCreatedAndReleased)
{
    const CLSID fake_class{0x5e1f0b6d, 0x1a2b, 0x4c3d, {0x9e, 0x8f, 0x01, 0x23, 0x45, 0x67, 0x89, 0xac}};
    fake_dispatch object;
    {
        const fake_class_registration registration(fake_class, static_cast<IDispatch*>(&object));
        const com_ptr<IDispatch> created = create_instance<IDispatch>(fake_class);
        EXPECT_EQ(created.get(), static_cast<IDispatch*>(&object));
    }
    EXPECT_EQ(object.references.outstanding(), 0);
}

TEST(ComPtr, ConversionOfAnEmptyPointerIsEmptyAndMemberAccessThrows)
{
    const com_ptr<IDispatch> empty;
    const com_ptr<IXMLDOMDocument2> converted(empty);
    EXPECT_FALSE(converted);
    try
    {
        converted->get_async(nullptr);
        FAIL() << "member access through an empty pointer";
    }
    catch (const windows_error&)
    {
        FAIL() << "must not be a windows_error";
    }
    catch (const wexception<std::runtime_error>& error)
    {
        EXPECT_EQ(error.message(), L"Attempt to use an invalid COM pointer.");
        EXPECT_EQ(error.source_file(), L"ComHelper");
    }
    com_ptr<ISupportErrorInfo> out;
    EXPECT_FALSE(empty.try_query(out));
}

TEST(ComPtr, MissingInterfaceThrowsNoInterfaceAndLeavesTheDestination)
{
    fake_dispatch object;
    {
        const com_ptr<IDispatch> source = hold<IDispatch>(&object);
        com_ptr<IXMLDOMDocument2> destination;
        try
        {
            destination = com_ptr<IXMLDOMDocument2>(source);
            FAIL() << "conversion to a missing interface succeeded";
        }
        catch (const com_error& error)
        {
            EXPECT_EQ(error.code(), static_cast<DWORD>(E_NOINTERFACE));
            EXPECT_EQ(error.source_file(), L"ComHelper");
        }
        EXPECT_FALSE(destination);
        EXPECT_EQ(object.references.outstanding(), 1);
    }
    EXPECT_EQ(object.references.outstanding(), 0);
}

TEST(ComPtr, TryQueryAnswersAndThrowsOnlyForRealFailures)
{
    fake_dispatch object;
    {
        const com_ptr<IDispatch> pointer = hold<IDispatch>(&object);
        com_ptr<ISupportErrorInfo> support;
        EXPECT_TRUE(pointer.try_query(support));
        EXPECT_TRUE(support);

        com_ptr<IXMLDOMNode> node;
        EXPECT_FALSE(pointer.try_query(node));
        EXPECT_FALSE(node);

        object.query_failure = E_UNEXPECTED;
        EXPECT_THROW(pointer.try_query(node), com_error);
    }
    EXPECT_EQ(object.references.outstanding(), 0);
}

TEST(ComPtr, CopiesReceiveAndReleaseBalanceTheReferences)
{
    fake_dispatch first;
    fake_dispatch second;
    {
        com_ptr<IDispatch> pointer = hold<IDispatch>(&first);
        {
            const com_ptr<IDispatch> copy = pointer;
            EXPECT_EQ(first.references.outstanding(), 2);
        }
        EXPECT_EQ(first.references.outstanding(), 1);

        const long releases_before = first.references.releases();
        IDispatch** slot = pointer.receive();
        EXPECT_EQ(first.references.releases(), releases_before + 1);
        EXPECT_EQ(*slot, nullptr);
        second.AddRef();
        *slot = &second;

        pointer.release();
        EXPECT_FALSE(pointer);
        pointer.release();
    }
    EXPECT_EQ(first.references.outstanding(), 0);
    EXPECT_EQ(second.references.outstanding(), 0);
}

TEST(ComPtr, WorksWithTheRealRequestAndProgressDialogClasses)
{
    const auto request = create_instance<IXMLHTTPRequest>(class_id::xml_http_30);
    ASSERT_TRUE(request);
    const com_ptr<IDispatch> as_dispatch(request);
    EXPECT_TRUE(as_dispatch);

    // Sending before opening is refused by the object itself.
    try
    {
        check_hresult(request->send(com_variant().get()), request, L"Halcyra", __LINE__);
        FAIL() << "send before open succeeded";
    }
    catch (const com_error& error)
    {
        EXPECT_LT(static_cast<HRESULT>(error.code()), 0);
        EXPECT_FALSE(error.message().empty());
    }

    const auto dialog = create_instance<IProgressDialog>(class_id::progress_dialog);
    EXPECT_TRUE(dialog);
    EXPECT_NO_THROW(check_hresult(dialog->SetTitle(L"Halcyra"), dialog, L"Halcyra", __LINE__));
}

TEST(ComBstr, ConversionsKeepTheText)
{
    const com_bstr narrow("User-Agent");
    const com_bstr wide(L"User-Agent");
    EXPECT_EQ(narrow.to_wstring(), L"User-Agent");
    EXPECT_EQ(SysStringLen(narrow.get()), 10u);
    EXPECT_EQ(narrow.to_wstring(), wide.to_wstring());

    for (const com_bstr& empty : {com_bstr(L""), com_bstr("")})
    {
        ASSERT_NE(empty.get(), nullptr);
        EXPECT_EQ(SysStringLen(empty.get()), 0u);
    }
    EXPECT_EQ(com_bstr(static_cast<const wchar_t*>(nullptr)).get(), nullptr);
    EXPECT_EQ(com_bstr(static_cast<const char*>(nullptr)).get(), nullptr);
    EXPECT_EQ(com_bstr().to_wstring(), L"");
}

TEST(ComBstr, ReceiveFreesWhatWasHeldAndTakesTheNewText)
{
    com_bstr text(L"first");
    BSTR* slot = text.receive();
    EXPECT_EQ(*slot, nullptr);
    *slot = SysAllocString(L"second");
    EXPECT_EQ(text.to_wstring(), L"second");
}

TEST(ComVariant, KindsAndReceive)
{
    EXPECT_EQ(com_variant().get().vt, VT_EMPTY);
    const com_variant flag(std::int16_t{0});
    EXPECT_EQ(flag.get().vt, VT_I2);
    EXPECT_EQ(flag.get().iVal, 0);

    com_variant text(L"XPath");
    ASSERT_EQ(text.get().vt, VT_BSTR);
    EXPECT_EQ(to_wstring(text.get().bstrVal), L"XPath");
    VARIANT* slot = text.receive();
    EXPECT_EQ(slot->vt, VT_EMPTY);
}

TEST(ComVariant, ReceiveRaisesAFailedClear)
{
    com_variant value;
    value.receive()->vt = 0x7FFF; // a type VariantClear refuses
    try
    {
        value.receive();
        FAIL() << "a failed VariantClear was not raised";
    }
    catch (const com_error& error)
    {
        EXPECT_EQ(error.code(), static_cast<DWORD>(DISP_E_BADVARTYPE));
        EXPECT_EQ(error.source_file(), L"ComHelper");
    }
}
