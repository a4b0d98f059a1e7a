# Sourced: sets test_build to the build folder whose binaries the tests run.
. "$(dirname "${BASH_SOURCE[0]}")/wine-loader.sh"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ "$(test_arch)" = i686 ]; then test_build=$here/build; else test_build=$here/build/$(test_arch); fi
