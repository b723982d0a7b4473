#include "wallpaper/shuffle_round.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>
#include <utility>

namespace velmaro::wallpaper {

namespace {

constexpr std::uint8_t kMagic[] = {'V', 'R', 'N', 'D', 1};

// ---- the remembered bytes ----

void put_varint(std::vector<std::uint8_t>& out, std::uint64_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<std::uint8_t>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<std::uint8_t>(v));
}

class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool varint(std::uint64_t& v) {
        v = 0;
        for (int shift = 0; shift < 64 && pos_ < bytes_.size(); shift += 7) {
            const std::uint8_t b = bytes_[pos_++];
            v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
            if (!(b & 0x80))
                return true;
        }
        return false;
    }
    bool fixed64(std::uint64_t& v) {
        if (left() < 8)
            return false;
        v = 0;
        for (int i = 0; i < 8; ++i)
            v |= static_cast<std::uint64_t>(bytes_[pos_++]) << (8 * i);
        return true;
    }
    bool text(std::string& s) {
        std::uint64_t n = 0;
        if (!varint(n) || n > left())
            return false;
        s.assign(reinterpret_cast<const char*>(bytes_.data() + pos_), static_cast<std::size_t>(n));
        pos_ += static_cast<std::size_t>(n);
        return true;
    }
    bool skip_magic() {
        if (left() < sizeof kMagic || !std::equal(kMagic, kMagic + sizeof kMagic, bytes_.begin()))
            return false;
        pos_ += sizeof kMagic;
        return true;
    }
    std::size_t left() const { return bytes_.size() - pos_; }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

// ---- the listing ----

// A listed picture, ordered so that a remembered (folder, digest) finds its candidates.
struct Listed {
    std::uint32_t folder;
    std::uint64_t digest;
    std::uint32_t file;
    std::uint32_t choice;
    bool operator<(const Listed& o) const {
        return std::tie(folder, digest, file) < std::tie(o.folder, o.digest, o.file);
    }
};

std::vector<Listed> listed_pictures(const std::vector<PictureFolder>& listing,
                                    const std::vector<std::uint32_t>& first,
                                    const ExcludedPicture& excluded) {
    std::vector<Listed> listed;
    for (std::uint32_t f = 0; f < listing.size(); ++f) {
        if (first[f] != f)
            continue;
        const auto& names = listing[f].names;
        std::uint32_t choice = 0;
        for (std::uint32_t i = 0; i < names.size(); ++i)
            if (!excluded || !excluded(listing[f].path, names[i]))
                listed.push_back({f, name_digest(names[i]), i, choice++});
    }
    std::sort(listed.begin(), listed.end());
    return listed;
}

void fisher_yates(std::vector<Listed>& items, RoundRandom& random) {
    for (std::size_t i = items.size(); i > 1; --i)
        std::swap(items[i - 1], items[static_cast<std::size_t>(random.below(i))]);
}

} // namespace

std::uint64_t name_digest(const std::string& name) {
    // FNV-1a, then a final mix so that names differing in their last bytes spread over
    // all 64 bits.
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : name)
        h = (h ^ c) * 1099511628211ull;
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    return h ^ (h >> 33);
}

RoundRandom::RoundRandom(std::span<const std::uint32_t> seed) {
    std::seed_seq seq(seed.begin(), seed.end());
    engine_.seed(seq);
}

std::uint64_t RoundRandom::below(std::uint64_t n) {
    // Lemire's multiply-and-reject: no value favoured, whatever n.
    unsigned __int128 m = static_cast<unsigned __int128>(engine_()) * n;
    if (static_cast<std::uint64_t>(m) < n) {
        const std::uint64_t threshold = (0 - n) % n;
        while (static_cast<std::uint64_t>(m) < threshold)
            m = static_cast<unsigned __int128>(engine_()) * n;
    }
    return static_cast<std::uint64_t>(m >> 64);
}

std::optional<ShuffleRound> ShuffleRound::parse(std::span<const std::uint8_t> bytes) {
    Reader in(bytes);
    ShuffleRound round;
    std::uint64_t shown = 0, folders = 0, entries = 0;
    if (!in.skip_magic() || !in.varint(shown) || !in.varint(folders) || folders > in.left())
        return std::nullopt;
    round.folders_.resize(static_cast<std::size_t>(folders));
    for (std::string& path : round.folders_)
        if (!in.text(path))
            return std::nullopt;
    // Each entry takes at least 9 bytes: a count beyond what is left is damage, not a
    // reason to reserve memory.
    if (!in.varint(entries) || entries > in.left() / 9 || shown > entries)
        return std::nullopt;
    round.order_.resize(static_cast<std::size_t>(entries));
    for (RoundEntry& e : round.order_) {
        std::uint64_t folder = 0;
        if (!in.varint(folder) || folder >= folders || !in.fixed64(e.digest))
            return std::nullopt;
        e.folder = static_cast<std::uint32_t>(folder);
    }
    if (in.left() != 0)
        return std::nullopt;
    round.shown_ = static_cast<std::size_t>(shown);
    return round;
}

std::vector<std::uint8_t> ShuffleRound::serialize() const {
    std::vector<std::uint8_t> out(kMagic, kMagic + sizeof kMagic);
    out.reserve(out.size() + 16 + order_.size() * 10);
    put_varint(out, shown_);
    put_varint(out, folders_.size());
    for (const std::string& path : folders_) {
        put_varint(out, path.size());
        out.insert(out.end(), path.begin(), path.end());
    }
    put_varint(out, order_.size());
    for (const RoundEntry& e : order_) {
        put_varint(out, e.folder);
        for (int i = 0; i < 8; ++i)
            out.push_back(static_cast<std::uint8_t>(e.digest >> (8 * i)));
    }
    return out;
}

namespace {

// The remembered order, less what has gone, each listed picture claimed once; `shown`
// becomes how many of the kept ones the round has shown.
std::vector<RoundEntry> claim_remembered(const std::vector<RoundEntry>& order, std::size_t& shown,
                                         const std::vector<std::string>& folders,
                                         const std::unordered_map<std::string, std::uint32_t>& now_at,
                                         const std::vector<Listed>& listed, std::vector<bool>& matched) {
    std::vector<RoundEntry> kept;
    kept.reserve(order.size());
    std::size_t kept_shown = 0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const auto folder = now_at.find(folders[order[k].folder]);
        if (folder == now_at.end())
            continue;
        const Listed key{folder->second, order[k].digest, 0, 0};
        auto same = [&](auto it) {
            return it != listed.end() && it->folder == key.folder && it->digest == key.digest;
        };
        auto it = std::lower_bound(listed.begin(), listed.end(), key);
        while (same(it) && matched[static_cast<std::size_t>(it - listed.begin())])
            ++it;
        if (!same(it))
            continue;
        matched[static_cast<std::size_t>(it - listed.begin())] = true;
        kept.push_back({it->folder, it->digest, it->file, it->choice});
        kept_shown += k < shown;
    }
    shown = kept_shown;
    return kept;
}

// The newcomers in an order of their own, interleaved at random with the part still to
// come: every interleaving equally likely.
std::vector<RoundEntry> with_newcomers(const std::vector<RoundEntry>& kept, std::size_t shown,
                                       std::vector<Listed> added, RoundRandom& random) {
    fisher_yates(added, random);
    std::vector<RoundEntry> order(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(shown));
    order.reserve(kept.size() + added.size());
    std::size_t r = shown, a = 0;
    while (r < kept.size() || a < added.size()) {
        const std::uint64_t rest = kept.size() - r, fresh = added.size() - a;
        if (fresh > 0 && (rest == 0 || random.below(rest + fresh) < fresh)) {
            order.push_back({added[a].folder, added[a].digest, added[a].file, added[a].choice});
            ++a;
        } else {
            order.push_back(kept[r++]);
        }
    }
    return order;
}

} // namespace

void ShuffleRound::update(const std::vector<PictureFolder>& listing, RoundRandom& random,
                          const ExcludedPicture& excluded) {
    std::unordered_map<std::string, std::uint32_t> now_at;
    std::vector<std::uint32_t> first(listing.size());
    for (std::uint32_t i = 0; i < listing.size(); ++i)
        first[i] = now_at.try_emplace(listing[i].path, i).first->second;
    const std::vector<Listed> listed = listed_pictures(listing, first, excluded);
    std::vector<bool> matched(listed.size(), false);

    std::size_t shown = shown_;
    const std::vector<RoundEntry> kept = claim_remembered(order_, shown, folders_, now_at, listed, matched);
    std::vector<Listed> added;
    for (std::size_t i = 0; i < listed.size(); ++i)
        if (!matched[i])
            added.push_back(listed[i]);
    order_ = with_newcomers(kept, shown, std::move(added), random);
    shown_ = shown;
    folders_.clear();
    for (const PictureFolder& f : listing)
        folders_.push_back(f.path);
}

void ShuffleRound::new_round(RoundRandom& random) {
    const RoundEntry last = order_.back();
    for (std::size_t i = order_.size(); i > 1; --i)
        std::swap(order_[i - 1], order_[static_cast<std::size_t>(random.below(i))]);
    // Put the round's first picture elsewhere when it is the one just shown: the same as
    // drawing among the orders that begin with another.
    if (order_.size() > 1 && order_[0].folder == last.folder && order_[0].file == last.file)
        std::swap(order_[0], order_[1 + static_cast<std::size_t>(random.below(order_.size() - 1))]);
    shown_ = 0;
}

std::vector<PicturePick> ShuffleRound::take(int count, RoundRandom& random) {
    std::vector<PicturePick> picks;
    for (int i = 0; i < count && !order_.empty(); ++i) {
        if (shown_ >= order_.size())
            new_round(random);
        const RoundEntry& e = order_[shown_++];
        picks.push_back({static_cast<int>(e.folder), static_cast<int>(e.file), static_cast<int>(e.choice)});
    }
    return picks;
}

} // namespace velmaro::wallpaper
