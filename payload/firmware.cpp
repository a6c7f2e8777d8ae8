#include "payload/firmware.h"

extern const unsigned char loader_bin[];
extern const unsigned char bank_df_bin[];
extern const unsigned char bank_fc_bin[];
extern const unsigned char bank_fd_bin[];
extern const unsigned char bank_fe_bin[];
extern const unsigned char bank_ff_bin[];

namespace {

const BankImage kBuiltInBanks[kBankCount] = {
    {0xDF, bank_df_bin, 0x8000},  {0xFC, bank_fc_bin, 0x10000}, {0xFD, bank_fd_bin, 0x10000},
    {0xFE, bank_fe_bin, 0x10000}, {0xFF, bank_ff_bin, 0x10000},
};

}  // namespace

const std::uint8_t* BuiltInLoaderImage() { return loader_bin; }
const BankImage* BuiltInBankImages() { return kBuiltInBanks; }

const std::uint8_t* LoaderImage = loader_bin;
const BankImage* BankImages = kBuiltInBanks;

bool PageHasData(const std::uint8_t* page) {
  for (std::size_t i = 0; i < kPageSize; ++i) {
    if (page[i] != 0xFF) return true;
  }
  return false;
}
