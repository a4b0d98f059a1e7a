# Sourced: sets test_build to the build folder whose binaries the tests run.
. "$(dirname "${BASH_SOURCE[0]}")/wine-loader.sh"
test_build=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/test-$(test_arch)
