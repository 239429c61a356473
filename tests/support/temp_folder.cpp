#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace numora::test {

TempFolder::TempFolder() : dir_(QDir::tempPath() + "/numora-test-XXXXXX")
{
    if (!dir_.isValid())
        ADD_FAILURE() << "cannot create a temporary folder";
}

} // namespace numora::test
