# ForeignCall.S - calls a function as a host built by another compiler may:
# the stack pointer at any residue modulo 16 at the call, and the registers a
# callee must keep holding the host's own values. Records what the callee
# left behind. The record is struct ForeignCall of ForeignHostTests.cpp.
    .intel_syntax noprefix

    .bss
    .balign 4
    .globl _foreignCallInFlight
_foreignCallInFlight:           # the record of the call under way, or 0
    .space 4
hostStack:                      # the caller's stack pointer, its frame pushed
    .space 4
hostHandlers:                   # the caller's exception handler chain
    .space 4

    .text
# void __cdecl ForeignCallThunk(ForeignCall* call)
    .globl _ForeignCallThunk
_ForeignCallThunk:
    push ebp
    push ebx
    push esi
    push edi
    mov eax, [esp + 20]
    mov _foreignCallInFlight, eax
    mov hostStack, esp
    mov ecx, fs:[0]
    mov hostHandlers, ecx
    # The arguments 256 bytes below, the stack pointer at the residue asked.
    lea edx, [esp - 256]
    and edx, -16
    add edx, [eax + 12]
    mov esp, edx
    mov esi, [eax + 4]
    mov ecx, [eax + 8]
    mov edi, esp
    cld
    rep movsd
    mov [eax + 36], esp         # the stack pointer at the call, for now
    mov ebx, [eax + 16]
    mov esi, [eax + 20]
    mov edi, [eax + 24]
    mov ebp, [eax + 28]
    call [eax]
    pushfd
    push eax
    mov eax, _foreignCallInFlight
    pop DWORD PTR [eax + 32]    # the result
    pop DWORD PTR [eax + 56]    # the flags
    mov [eax + 40], ebx
    mov [eax + 44], esi
    mov [eax + 48], edi
    mov [eax + 52], ebp
    mov ecx, esp
    sub ecx, [eax + 36]
    mov [eax + 36], ecx         # the bytes the callee popped
    stmxcsr [eax + 60]
    fnstenv [eax + 64]
    fldenv [eax + 64]           # fnstenv masked the x87 exceptions
# Where a call that faulted resumes (ForeignHostTests.cpp sends it here).
    .globl _ForeignCallResume
_ForeignCallResume:
    mov esp, hostStack
    mov ecx, hostHandlers
    mov fs:[0], ecx
    mov DWORD PTR _foreignCallInFlight, 0
    cld
    pop edi
    pop esi
    pop ebx
    pop ebp
    ret
