// The DRM class folder read once for the adapters and the displays: each card with the PCI
// function behind it, and each connector with its status.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "linux/root/sysroot.h"

namespace nadrel {

struct DrmCard {
    std::string name;      // "card0"
    std::string function;  // the canonical device folder; empty when it cannot be resolved
};

struct DrmConnectorEntry {
    std::string entry;  // "card0-DP-1"
    std::string card;   // "card0"
    std::string name;   // "DP-1"
    bool connected = false;
};

struct DrmTree {
    std::vector<DrmCard> cards;                 // in name order
    std::vector<DrmConnectorEntry> connectors;  // in name order
};

// Connector entries read at most: a GPU drives a handful and a machine has a few GPUs; a tree
// claiming more is cut before any of their files is read.
inline constexpr std::size_t max_drm_connectors = 256;

DrmTree scan_drm(const SysRoot& root);

// The device folder of a card, or an empty text.
const std::string& card_function(const DrmTree& drm, std::string_view card);

}  // namespace nadrel
