# QorGuard.S - QorGuarded: runs a function under an exception registration
# of its own, on the calling thread's chain at fs:0.
#
# int __cdecl QorGuarded(int (__cdecl *work)(void*), void* context, int failed)
#
# The registration is the usual pair, the registration before it and the
# handler, with the failure value above it. When the handler takes a fault
# of work, it resumes at QorGuardResume with the stack at the registration
# and eax the failure value: the frames of work are left without unwinding.
        .text
        .globl  _QorGuarded
        .def    _QorGuarded; .scl 2; .type 32; .endef
_QorGuarded:
        pushl   %ebp
        movl    %esp, %ebp
        pushl   %ebx                    # registers a caller keeps across
        pushl   %esi                    # the call, restored on both ways
        pushl   %edi                    # out
        pushl   16(%ebp)                # failed
        pushl   $_QorGuardHandler
        pushl   %fs:0
        movl    %esp, %fs:0             # the registration heads the chain
        pushl   12(%ebp)
        call    *8(%ebp)
        addl    $4, %esp
        .globl  _QorGuardResume
_QorGuardResume:
        movl    (%esp), %ecx
        movl    %ecx, %fs:0             # the registration before it again
        addl    $12, %esp
        popl    %edi
        popl    %esi
        popl    %ebx
        popl    %ebp
        ret
