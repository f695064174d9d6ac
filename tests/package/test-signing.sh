#!/usr/bin/env bash
# Packages signed with a throw-away certificate from a throw-away CA: both programs and both MSIs
# must verify against that CA, the build outputs must stay unsigned, and an unsigned run says so.
set -euo pipefail
unset TESSARO_SIGN_PFX TESSARO_SIGN_PASSWORD TESSARO_SIGN_TIMESTAMP  # it brings its own
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*"; exit 1; }

openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=Tessaro-Test-CA -keyout ca.key \
    -out ca.pem -addext basicConstraints=critical,CA:TRUE \
    -addext keyUsage=critical,keyCertSign 2>/dev/null
openssl req -newkey rsa:2048 -nodes -subj /CN=Tessaro-Test -keyout key.pem -out req.pem 2>/dev/null
printf 'extendedKeyUsage=codeSigning\nkeyUsage=critical,digitalSignature\n' >ext.cnf
openssl x509 -req -in req.pem -CA ca.pem -CAkey ca.key -CAcreateserial -days 1 -extfile ext.cnf \
    -out cert.pem 2>/dev/null
openssl pkcs12 -export -inkey key.pem -in cert.pem -certfile ca.pem -passout pass:s3cret \
    -out sign.pfx

said=$(TESSARO_SIGN_PFX=$work/sign.pfx TESSARO_SIGN_PASSWORD=s3cret \
    python3 "$root/tools/package.py" --out signed)
[[ $said != *unsigned* ]] || fail "a signed run says it is unsigned"
verify() { osslsigncode verify -CAfile ca.pem -in "$1" >/dev/null 2>&1; }
for arch in x64 x86; do
    python3 -m zipfile -e signed/tessaro-*-$arch.zip $arch
    for program in tessaro.exe tessaro.com; do
        verify $arch/$program || fail "$arch $program not signed"
    done
    verify signed/tessaro-*-$arch.msi || fail "$arch MSI not signed"
    ! verify "$root/build/windows-$arch/dist/tessaro.exe" || fail "$arch dist/ signed in place"
done
python3 "$root/tools/package.py" --out plain | grep -q '^package: unsigned' ||
    fail "an unsigned run does not say so"
echo "Signing: programs and MSIs verify against the test CA"
