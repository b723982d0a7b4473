#include "controls/url_address.h"

#include "base/error.h"

#include <gtest/gtest.h>

namespace velmaro::controls {
namespace {

TEST(UrlAddress, PrefixTable) {
    EXPECT_EQ(ProtocolPrefix[ptMAIL], "mailto:");
    EXPECT_EQ(ProtocolPrefix[ptWWW], "http://");
    EXPECT_EQ(ProtocolPrefix[ptFTP], "ftp://");
    EXPECT_EQ(ProtocolPrefix[ptFILE], "file:");
}

TEST(UrlAddress, Composition) {
    // Host form gets the prefix.
    EXPECT_EQ(compose_address(ptWWW, "www.orbenta.com"), "http://www.orbenta.com");
    // Already prefixed: no second prefix.
    EXPECT_EQ(compose_address(ptWWW, "http://www.orbenta.com/x"), "http://www.orbenta.com/x");
    // The prefix must match exactly, letter case included.
    EXPECT_EQ(compose_address(ptWWW, "HTTP://www.orbenta.com"), "http://HTTP://www.orbenta.com");
    EXPECT_EQ(compose_address(ptWWW, "Http://a"), "http://Http://a");
    // Only the label's own protocol's prefix counts.
    EXPECT_EQ(compose_address(ptWWW, "ftp://files.orbenta.com"), "http://ftp://files.orbenta.com");
    EXPECT_EQ(compose_address(ptMAIL, "http://x"), "mailto:http://x");
    // A prefix found later in the URL is not a prefix.
    EXPECT_EQ(compose_address(ptMAIL, "xmailto:a@b"), "mailto:xmailto:a@b");
    // An empty URL gives the prefix alone.
    EXPECT_EQ(compose_address(ptWWW, ""), "http://");
    EXPECT_EQ(compose_address(ptFTP, ""), "ftp://");
    // A file path: nothing inserted between prefix and path.
    EXPECT_EQ(compose_address(ptFILE, "C:\\Pictures\\a.jpg"), "file:C:\\Pictures\\a.jpg");
    EXPECT_EQ(compose_address(ptFILE, "file:C:\\a.jpg"), "file:C:\\a.jpg");
    EXPECT_EQ(compose_address(ptMAIL, "info@orbenta.com"), "mailto:info@orbenta.com");
    // A URL shorter than the prefix that starts like it.
    EXPECT_EQ(compose_address(ptWWW, "http:/"), "http://http:/");
}

TEST(UrlAddress, UnknownProtocolIsRejected) {
    EXPECT_THROW(compose_address(static_cast<TProtocol>(4), "x"), Error);
    EXPECT_THROW(compose_address(static_cast<TProtocol>(255), "x"), Error);
    EXPECT_TRUE(is_known_protocol(ptFILE));
    EXPECT_FALSE(is_known_protocol(static_cast<TProtocol>(4)));
}

TEST(UrlAddress, DefaultAddressIsAHostWithoutPrefix) {
    EXPECT_FALSE(kDefaultAddress.empty());
    for (std::string_view p : ProtocolPrefix)
        EXPECT_FALSE(kDefaultAddress.starts_with(p));
    EXPECT_EQ(kDefaultAddress.find('/'), std::string_view::npos);
    EXPECT_EQ(compose_address(ptWWW, kDefaultAddress), "http://" + std::string(kDefaultAddress));
}

TEST(UrlAddress, CaptionFollowsOnlyTheDefaultAddress) {
    EXPECT_EQ(caption_after_url_assignment(kDefaultAddress, "ftp.orbenta.com"), "ftp.orbenta.com");
    EXPECT_EQ(caption_after_url_assignment("Orbenta Homepage", "ftp.orbenta.com"), "Orbenta Homepage");
    // Exact comparison: other letter case or extra blanks do not count as the default.
    EXPECT_EQ(caption_after_url_assignment("WWW.ORBENTA.COM", "x"), "WWW.ORBENTA.COM");
    EXPECT_EQ(caption_after_url_assignment(std::string(kDefaultAddress) + " ", "x"),
              std::string(kDefaultAddress) + " ");
    EXPECT_EQ(caption_after_url_assignment("", "x"), "");
    EXPECT_EQ(caption_after_url_assignment(kDefaultAddress, ""), "");
}

} // namespace
} // namespace velmaro::controls
