/*
 * frame_call_stdcall(function, words, count, stack_difference): see stdcall_call.h.
 *
 * The stack pointer before the pushes is kept in EDI and the frame in EBP: both are
 * callee-saved, so they survive any Win32 callee, even one that pops the wrong number
 * of bytes. ESP is then rebuilt from EBP, never trusted from the callee.
 *
 * The pushed block is placed so that ESP is 16-byte aligned at the call: Win32
 * needs only 4, but routines built by GCC may keep 16-byte aligned locals.
 *
 * The CFI directives describe the frame to the unwinder, so that an exception a
 * handler throws passes through here to the window procedure that raised the
 * event, whose barrier reports it.
 */
        .text
        .globl  _frame_call_stdcall
        .def    _frame_call_stdcall; .scl 2; .type 32; .endef
_frame_call_stdcall:
        .cfi_startproc
        pushl   %ebp
        .cfi_def_cfa_offset 8
        .cfi_offset %ebp, -8
        movl    %esp, %ebp
        .cfi_def_cfa_register %ebp
        pushl   %ebx
        .cfi_offset %ebx, -12
        pushl   %esi
        .cfi_offset %esi, -16
        pushl   %edi
        .cfi_offset %edi, -20

        movl    12(%ebp), %esi          /* words */
        movl    16(%ebp), %ecx          /* count */
        leal    (,%ecx,4), %eax         /* bytes to push */
        movl    %esp, %edx
        subl    %eax, %edx
        andl    $-16, %edx
        addl    %eax, %edx
        movl    %edx, %esp
        movl    %esp, %edi              /* ESP before the pushes */

        testl   %ecx, %ecx
        jz      2f
1:      pushl   -4(%esi,%ecx,4)         /* last word first */
        decl    %ecx
        jnz     1b
2:      call    *8(%ebp)

        movl    %esp, %ecx
        subl    %edi, %ecx
        movl    20(%ebp), %ebx          /* stack_difference */
        movl    %ecx, (%ebx)

        leal    -12(%ebp), %esp
        popl    %edi
        popl    %esi
        popl    %ebx
        popl    %ebp
        .cfi_def_cfa %esp, 4
        ret
        .cfi_endproc
