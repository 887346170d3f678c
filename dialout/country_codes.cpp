#include "dialout/country_codes.h"

#include <array>

namespace fon {

namespace {

// First match wins, so the order is part of the data: a row behind a shorter
// row that is its prefix (003906, 00733, 0073632, 00737, 0087810, 00991001)
// and the repeated 00670 and 00672 never match, and there is deliberately
// no row for 001 alone. Only Italy keeps its zero: it belongs to the number.
constexpr std::array<CountryCode, 261> kRows = {{
    {"001242", false}, {"001246", false}, {"001264", false}, {"001268", false}, {"001284", false},
    {"001340", false}, {"001345", false}, {"001441", false}, {"001473", false}, {"001649", false},
    {"001664", false}, {"001670", false}, {"001671", false}, {"001758", false}, {"001767", false},
    {"001784", false}, {"001787", false}, {"001809", false}, {"001868", false}, {"001869", false},
    {"001876", false}, {"001939", false}, {"0020", false}, {"00210", false}, {"00211", false},
    {"00212", false}, {"00213", false}, {"00214", false}, {"00215", false}, {"00216", false},
    {"00217", false}, {"00218", false}, {"00219", false}, {"00220", false}, {"00221", false},
    {"00222", false}, {"00223", false}, {"00224", false}, {"00225", false}, {"00226", false},
    {"00227", false}, {"00228", false}, {"00229", false}, {"00230", false}, {"00231", false},
    {"00232", false}, {"00233", false}, {"00234", false}, {"00235", false}, {"00236", false},
    {"00237", false}, {"00238", false}, {"00239", false}, {"00240", false}, {"00241", false},
    {"00242", false}, {"00243", false}, {"00244", false}, {"00245", false}, {"00246", false},
    {"00247", false}, {"00248", false}, {"00249", false}, {"00250", false}, {"00251", false},
    {"00252", false}, {"00253", false}, {"00254", false}, {"00255", false}, {"00256", false},
    {"00257", false}, {"00258", false}, {"00259", false}, {"00260", false}, {"00261", false},
    {"00262", false}, {"00263", false}, {"00264", false}, {"00265", false}, {"00266", false},
    {"00267", false}, {"00268", false}, {"00269", false}, {"0027", false}, {"00290", false}, {"00291", false},
    {"00297", false}, {"00298", false}, {"00299", false}, {"0030", false}, {"0031", false}, {"0032", false},
    {"0033", false}, {"0034", false}, {"00350", false}, {"00351", false}, {"00352", false}, {"00353", false},
    {"00354", false}, {"00355", false}, {"00356", false}, {"00357", false}, {"00358", false},
    {"00359", false}, {"0036", false}, {"00370", false}, {"00371", false}, {"00372", false}, {"00373", false},
    {"00374", false}, {"00375", false}, {"00376", false}, {"00377", false}, {"00378", false},
    {"00380", false}, {"00381", false}, {"00385", false}, {"00386", false}, {"00387", false},
    {"00388", false}, {"00389", false}, {"0039", true}, {"003906", false}, {"0040", false}, {"0041", false},
    {"00420", false}, {"00421", false}, {"00423", false}, {"0043", false}, {"0044", false}, {"0045", false},
    {"0046", false}, {"0047", false}, {"0048", false}, {"0049", false}, {"00500", false}, {"00501", false},
    {"00502", false}, {"00503", false}, {"00504", false}, {"00505", false}, {"00506", false},
    {"00507", false}, {"00508", false}, {"00509", false}, {"0051", false}, {"0052", false}, {"0053", false},
    {"0054", false}, {"0055", false}, {"0056", false}, {"0057", false}, {"0058", false}, {"00590", false},
    {"00591", false}, {"00592", false}, {"00593", false}, {"00594", false}, {"00595", false},
    {"00596", false}, {"00597", false}, {"00598", false}, {"00599", false}, {"0060", false}, {"0061", false},
    {"0062", false}, {"0063", false}, {"0064", false}, {"0065", false}, {"0066", false}, {"00670", false},
    {"00670", false}, {"00671", false}, {"00672", false}, {"00672", false}, {"00672", false},
    {"00673", false}, {"00674", false}, {"00675", false}, {"00676", false}, {"00677", false},
    {"00678", false}, {"00679", false}, {"00680", false}, {"00681", false}, {"00682", false},
    {"00683", false}, {"00684", false}, {"00685", false}, {"00686", false}, {"00687", false},
    {"00688", false}, {"00689", false}, {"00690", false}, {"00691", false}, {"00692", false}, {"007", false},
    {"00733", false}, {"0073632", false}, {"00737", false}, {"00800", false}, {"00808", false},
    {"0081", false}, {"0082", false}, {"0084", false}, {"00850", false}, {"00852", false}, {"00853", false},
    {"00854", false}, {"00855", false}, {"00856", false}, {"0086", false}, {"00870", false}, {"00871", false},
    {"00872", false}, {"00873", false}, {"00874", false}, {"00875", false}, {"00876", false},
    {"00877", false}, {"00878", false}, {"0087810", false}, {"00879", false}, {"00880", false},
    {"00881", false}, {"00882", false}, {"00886", false}, {"0090", false}, {"0091", false}, {"0092", false},
    {"0093", false}, {"0094", false}, {"0095", false}, {"00960", false}, {"00961", false}, {"00962", false},
    {"00963", false}, {"00964", false}, {"00965", false}, {"00966", false}, {"00967", false},
    {"00968", false}, {"00969", false}, {"00970", false}, {"00971", false}, {"00972", false},
    {"00973", false}, {"00974", false}, {"00975", false}, {"00976", false}, {"00977", false},
    {"00979", false}, {"0098", false}, {"00991", false}, {"00991001", false}, {"00992", false},
    {"00993", false}, {"00994", false}, {"00995", false}, {"00996", false}, {"00998", false},
}};

}  // namespace

std::span<const CountryCode> CountryCodes() { return kRows; }

const CountryCode* FindCountryCode(std::string_view number) {
  for (const CountryCode& row : kRows) {
    if (number.size() >= row.code.size() + kMinDigitsAfterCode && number.starts_with(row.code)) return &row;
  }
  return nullptr;
}

}  // namespace fon
