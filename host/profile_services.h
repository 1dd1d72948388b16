#pragma once
// The seven "Profile/..." services over a profile store.

#include "host/host_table.h"

namespace sepmet::host {

class ProfileStore;

// Offers the services; `store` must outlive them (WithdrawProfileServices).
void OfferProfileServices(HostTable& table, ProfileStore& store);
void WithdrawProfileServices(HostTable& table);

} // namespace sepmet::host
