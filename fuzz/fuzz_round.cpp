// The remembered round on hostile bytes: parse() either refuses them or gives a round
// that writes itself back readably, updates against a listing and hands out only
// pictures of that listing, never reading outside its input (ASan watches).
#include "wallpaper/shuffle_round.h"

#include <cstdint>
#include <cstdlib>

using namespace velmaro::wallpaper;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::optional<ShuffleRound> round = ShuffleRound::parse({data, size});
    if (!round)
        return 0;
    const std::vector<std::uint8_t> again = round->serialize();
    const std::optional<ShuffleRound> reread = ShuffleRound::parse(again);
    if (!reread || reread->serialize() != again || round->shown() > round->size())
        std::abort();
    const std::vector<PictureFolder> listing{
        {"C:\\A", {"a.jpg", "b.jpg"}}, {"C:\\B", {"c.jpg"}}, {"C:\\A", {}}};
    const std::uint32_t seed[] = {static_cast<std::uint32_t>(size)};
    RoundRandom random(seed);
    round->update(listing, random);
    for (const PicturePick& p : round->take(5, random))
        if (p.folder < 0 || p.folder > 1 || p.file < 0 ||
            static_cast<std::size_t>(p.file) >= listing[static_cast<std::size_t>(p.folder)].names.size())
            std::abort();
    return 0;
}
