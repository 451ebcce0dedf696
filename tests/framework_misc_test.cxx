// Platform-owned pointers, exception copies and catching, dates.
#include "soa_common/date_time.hxx"
#include "soa_server/service_data.hxx"
#include "sm/scoped_smptr.hxx"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

namespace Exceptions = Velmora::Schemas::Soa::_2006_03::Exceptions;

TEST(FrameworkScopedSmptr, FreesOnEveryWayOut) {
    long base = vl::platform::SM_outstanding_blocks();
    { scoped_smptr<char> empty; }  // a call that failed before filling it
    {
        scoped_smptr<char> s;
        *&s = SM_string_copy_persistent("x");
        EXPECT_EQ(vl::platform::SM_outstanding_blocks(), base + 1);
    }
    EXPECT_EQ(vl::platform::SM_outstanding_blocks(), base);
    try {
        scoped_smptr<int> a(static_cast<int*>(SM_alloc_persistent(4 * sizeof(int))));
        throw std::runtime_error("leaves the scope");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(vl::platform::SM_outstanding_blocks(), base);
    {
        scoped_smptr<char> s;
        *&s = SM_string_copy_persistent("first");
        *&s = SM_string_copy_persistent("refilled: the first block is freed");
    }
    EXPECT_EQ(vl::platform::SM_outstanding_blocks(), base);
}

TEST(FrameworkScopedSmptr, PackedStringArrayIsOneBlock) {
    long base = vl::platform::SM_outstanding_blocks();
    const char* texts[] = {"a", "", "ccc"};
    {
        scoped_smptr<char*> array(vl::platform::SM_pack_strings(texts, 3));
        EXPECT_EQ(vl::platform::SM_outstanding_blocks(), base + 1);
        EXPECT_STREQ(array[0], "a");
        EXPECT_STREQ(array[1], "");
        EXPECT_STREQ(array[2], "ccc");
    }
    EXPECT_EQ(vl::platform::SM_outstanding_blocks(), base);
}

TEST(FrameworkExceptions, ServerExceptionCopiesAreIndependent) {
    Velmora::Soa::Server::ServiceException a("first");
    a.getWireData().addError({214104, 3, "m"});
    Velmora::Soa::Server::ServiceException b = a;
    b.getWireData().setMessage("second");
    b.getWireData().addError({214105, 3, "n"});
    EXPECT_EQ(a.getWireData().getMessage(), "first");
    EXPECT_EQ(a.getWireData().getErrors().size(), 1u);
    EXPECT_EQ(b.getWireData().getErrors().size(), 2u);
}

TEST(FrameworkExceptions, CaughtByTheirBasesOnly) {
    auto asInternal = [] {
        try {
            throw Exceptions::ConnectionException("down");
        } catch (Exceptions::InternalServerException& e) {
            return e.getLocalName();
        }
    };
    EXPECT_EQ(asInternal(), "ConnectionException");
    auto asSoa = [] {
        try {
            throw Exceptions::ProtocolException("bad");
        } catch (Exceptions::SoaException& e) {
            return e.getMessage();
        }
    };
    EXPECT_EQ(asSoa(), "bad");
    auto asIFail = [] {
        try {
            throw Exceptions::ConnectionException("down");
        } catch (IFail&) {
            return std::string("IFail");
        } catch (...) {
            return std::string("other");
        }
    };
    EXPECT_EQ(asIFail(), "other");
}

TEST(FrameworkDateTime, DerivedComparisonsAgreeWithTheBasicOnes) {
    using Velmora::Soa::Common::DateTime;
    DateTime dates[] = {{2006, 3, 1}, {2006, 3, 1, 0, 0, 1}, {2007, 1, 1}, {2006, 3, 1}};
    for (const auto& a : dates)
        for (const auto& b : dates) {
            EXPECT_EQ(a <= b, !(a > b));
            EXPECT_EQ(a >= b, !(a < b));
            EXPECT_EQ(a != b, !(a == b));
        }
    EXPECT_TRUE(dates[0] == dates[3]);
    EXPECT_TRUE(dates[0] < dates[1]);
    EXPECT_TRUE(dates[2] > dates[1]);
}

}  // namespace

#include "soa_common/xml.hxx"
namespace {
TEST(FrameworkParserLimits, ElementCountIsBoundedWhateverTheShape) {
    using Velmora::Soa::Common::Xml::SAXToNodeParser;
    std::string flat = "<a>";
    for (std::size_t i = 0; i < SAXToNodeParser::kMaxElements; ++i) flat += "<b/>";
    flat += "</a>";  // one element more than allowed, counting the root
    SAXToNodeParser parser;
    try {
        parser.parseString(flat);
        ADD_FAILURE() << "accepted";
    } catch (const Velmora::Soa::Common::Exceptions::DomException& e) {
        EXPECT_NE(e.getMessage().find("more than"), std::string::npos) << e.getMessage();
    }
}
}  // namespace
