#pragma once
// The one data resource the Windows contract program carries (ContractResource.rc); the in-memory world is
// handed the same name and bytes.
namespace orv::contract {
inline constexpr char ContractResourceName[] = "ORVCONTRACT";
inline constexpr char ContractResourceBytes[] = "Orvandel contract resource";
}  // namespace orv::contract
