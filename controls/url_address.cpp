#include "controls/url_address.h"

#include "base/error.h"

namespace velmaro::controls {

bool is_known_protocol(TProtocol protocol) {
    return protocol <= ptFILE;
}

std::string compose_address(TProtocol protocol, std::string_view url) {
    if (!is_known_protocol(protocol))
        throw Error("Invalid property value");
    const std::string_view prefix = ProtocolPrefix[protocol];
    if (url.starts_with(prefix))
        return std::string(url);
    std::string address;
    address.reserve(prefix.size() + url.size());
    address.append(prefix).append(url);
    return address;
}

std::string caption_after_url_assignment(std::string_view caption, std::string_view new_url) {
    return std::string(caption == kDefaultAddress ? new_url : caption);
}

} // namespace velmaro::controls
